#pragma once
/// The step that creates the file associations of the EXTCV table.

#include <string>

namespace cv {

class CCVEngine;

/// The open command of an association: the program quoted, a blank, the arguments.
std::string OpenCommandOf(const std::string& program, const std::string& arguments);

/// Runs the step; its failures affect only their own item.
void CreateFileAssociations(CCVEngine& engine);

} // namespace cv
