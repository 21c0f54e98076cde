#include "sysinfo/requirement_check.h"

#include "sysinfo/requirements.h"

#include <array>

namespace cv {

namespace {

constexpr int kSystemGroupCount = 8;

// Indexed by the message key.
constexpr std::array<std::string_view, 5> kDefaultMessages = {
    "The operating system is not adequate for running <ProductName>.",
    "The color settings of your system are not adequate for running <ProductName>.",
    "The screen resolution is not adequate for running <ProductName>.",
    "The amount of RAM is not adequate for running <ProductName>.",
    "The processor is not adequate for running <ProductName>.",
};

std::string WithoutMegabyteSuffix(std::string_view text) {
    static constexpr std::string_view kSuffix = " MB";
    std::string out(text);
    for (std::size_t at = out.find(kSuffix); at != std::string::npos; at = out.find(kSuffix, at))
        out.erase(at, kSuffix.size());
    return out;
}

} // namespace

Requirements ReadRequirements(const RequirementReader& read) {
    Requirements req;
    req.processor = read("1");
    req.memory = read("2");
    req.screen = read("3");
    req.colours = read("4");
    std::uint32_t mask = 0;
    bool any_given = false;
    for (int n = 0; n < kSystemGroupCount; ++n) {
        const std::string key = "os" + std::to_string(n);
        const std::string value = read(key.c_str());
        any_given = any_given || !value.empty();
        if (value == "Yes")
            mask |= 1u << n;
    }
    req.systemMask = any_given ? mask : 255;
    return req;
}

std::optional<std::int64_t> RequiredMegabytes(std::string_view memory) {
    if (memory == "Any")
        return std::nullopt;
    return LeadingInteger(WithoutMegabyteSuffix(memory));
}

std::optional<Requirement> FirstUnmetRequirement(const Requirements& req, IRequirementProbes& probes) {
    if (req.systemMask != 255 && !probes.OperatingSystem(req.systemMask))
        return Requirement::OperatingSystem;
    if (auto mb = RequiredMegabytes(req.memory); mb && !probes.Memory(*mb))
        return Requirement::Memory;
    if (req.screen != "checkSCREEN" && !probes.Screen(req.screen))
        return Requirement::Screen;
    if (req.colours != "Any colors" && !probes.Colours(req.colours))
        return Requirement::Colours;
    // Every name contains the empty text, so the second-long identification is skipped.
    if (req.processor != "All Processors" && !req.processor.empty() && !probes.Processor(req.processor))
        return Requirement::Processor;
    return std::nullopt;
}

std::string RequirementMessageKey(Requirement r) {
    return std::to_string(static_cast<int>(r));
}

std::string RequirementMessage(Requirement r, std::string_view language_text) {
    const auto index = static_cast<std::size_t>(r);
    if (!language_text.empty() || index >= kDefaultMessages.size())
        return std::string(language_text);
    return std::string(kDefaultMessages[index]);
}

} // namespace cv
