#include "crypto/setup_file_key.h"

#include "crypto/rijndael_file.h"

namespace cv::crypto {

void InitSetupFileKey(CRijndaelFILE& cipher) {
    cipher.InitKey(kSetupFileKeyText, kSetupFileKeyTextLength, kSetupFileChainBlock,
                   kSetupFileKeyLength, kSetupFileBlockSize, kSetupFileMode, kSetupFilePadding);
}

} // namespace cv::crypto
