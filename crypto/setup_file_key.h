#pragma once
/// The fixed values of the encrypted settings files (setup.nsx, data.nsx), shared by the
/// runtime that decrypts them and by cvbuild that writes them. Changing any of them makes
/// every existing setup folder unreadable.

#include <cstdint>

namespace cv {

class CRijndaelFILE;

namespace crypto {

/// Marker at the start of every key-check text: 8 upper-case ASCII letters.
inline constexpr char kKeyCheckMarker[] = "CVKEYCHK";
inline constexpr int kKeyCheckMarkerLength = 8;
static_assert(sizeof kKeyCheckMarker == kKeyCheckMarkerLength + 1);

/// The settings-file key text: 14 printable ASCII characters, repeated to the key length.
inline constexpr char kSetupFileKeyText[] = "q7#Vr2!mKc9&Lx";
inline constexpr int kSetupFileKeyTextLength = 14;
static_assert(sizeof kSetupFileKeyText == kSetupFileKeyTextLength + 1);

/// The settings-file chain block (unused by mode 0, but part of the key set-up).
inline constexpr std::uint8_t kSetupFileChainBlock[16] = {
    0x5a, 0x13, 0xc7, 0x8e, 0x29, 0xf0, 0x64, 0xb1, 0x3d, 0x92, 0xe8, 0x07, 0x4f, 0xa6, 0x71, 0xdc};

/// Settings-file parameters: AES-128 in mode 0 with zero padding.
inline constexpr int kSetupFileKeyLength = 16;
inline constexpr int kSetupFileBlockSize = 16;
inline constexpr int kSetupFileMode = 0;
inline constexpr int kSetupFilePadding = 0;

/// Sets `cipher` up for reading or writing settings files (InitKey with the values above).
void InitSetupFileKey(CRijndaelFILE& cipher);

} // namespace crypto
} // namespace cv
