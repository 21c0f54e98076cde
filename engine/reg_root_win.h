#pragma once
/// The registry roots of the install and removal targets as Win32 keys.

#include "engine/install_target.h"
#include "framework/handle.h"

#include <string>

#include <windows.h>

namespace cv {

HKEY RootKey(RegRoot root);
/// Opens `key` under `root` with `access`; empty when it cannot be opened.
UniqueRegKey OpenKey(RegRoot root, const std::string& key, REGSAM access);

} // namespace cv
