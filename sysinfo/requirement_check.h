#pragma once
/// The product's requirements as the settings give them (section "SYSTEM"), the order in
/// which they are checked against the machine, and the message shown for the first one the
/// machine does not meet. The measuring is behind `IRequirementProbes`, so the rules are
/// tested without the machine.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace cv {

/// Section "SYSTEM" as read from the settings, each value as written there.
struct Requirements {
    std::string processor; ///< key "1": text the processor's name must contain
    std::string memory;    ///< key "2": megabytes followed by " MB"
    std::string screen;    ///< key "3": passed to the screen check
    std::string colours;   ///< key "4": passed to the colour check
    /// Bit 2^n set when key "os" + n is "Yes"; 255 means no operating-system check.
    std::uint32_t systemMask = 255;
};

/// Reads one key of section "SYSTEM" (empty when missing).
using RequirementReader = std::function<std::string(const char* key)>;

/// Reads keys "1" to "4" and "os0" to "os7". When none of the eight os keys is there at all,
/// the product names no operating system and the mask is 255: a settings file without
/// them would otherwise shut out every Windows version the groups cover.
Requirements ReadRequirements(const RequirementReader& read);

/// The megabytes that a memory requirement asks for: the text with " MB" removed, read as
/// an integer (0 when it is not one). Nothing for "Any".
std::optional<std::int64_t> RequiredMegabytes(std::string_view memory);

/// The requirements in the order they are checked. The numbers are the keys of the
/// requirement messages in section "REQ" of the language file.
enum class Requirement : int {
    OperatingSystem = 0,
    Colours = 1,
    Screen = 2,
    Memory = 3,
    Processor = 4,
};

/// The measurements the check compares with; each answers whether the machine qualifies.
class IRequirementProbes {
  public:
    virtual bool OperatingSystem(std::uint32_t mask) = 0;
    virtual bool Memory(std::int64_t required_mb) = 0;
    virtual bool Screen(const std::string& resolution) = 0;
    virtual bool Colours(const std::string& colours) = 0;
    /// Whether the processor's name contains `required`; true when it cannot be identified.
    virtual bool Processor(const std::string& required) = 0;
    virtual ~IRequirementProbes() = default;
};

/// Checks operating system, memory, screen, colours and processor in that order, each only
/// when its value asks for a check (mask not 255, not "Any", not "checkSCREEN", not
/// "Any colors", not "All Processors"; an empty processor text is met by every name), and
/// stops at the first the machine does not meet. Nothing when all are met.
std::optional<Requirement> FirstUnmetRequirement(const Requirements& req, IRequirementProbes& probes);

/// The key of `r`'s message in section "REQ" ("0" to "4").
std::string RequirementMessageKey(Requirement r);

/// The message for `r`: the language file's text unless it is empty, else the fixed English
/// text ("The amount of RAM is not adequate for running <ProductName>." ...). Variables are
/// left for the caller to expand.
std::string RequirementMessage(Requirement r, std::string_view language_text);

} // namespace cv
