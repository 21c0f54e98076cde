#pragma once
/// Page texts with variables ("Welcome to <ProductName>"), expanded from the wizard's
/// product and folder strings and its user variables.

#include <string>
#include <string_view>

namespace cv {

class CMainFrame;

/// The text with the page variables replaced; unchanged without a wizard.
std::string ExpandPageText(const CMainFrame* wizard, std::string_view text);

} // namespace cv
