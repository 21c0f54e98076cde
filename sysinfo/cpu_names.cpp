#include "sysinfo/cpu_names.h"

#include <array>

namespace cv {

namespace {

/// What the second column of a row is compared with.
enum class Key : std::uint8_t {
    Model,         // the model
    AnyModel,      // every model of the family
    ExtendedModel, // the extended model value, with an extended family value of 0
};

struct Row {
    std::uint16_t family;
    Key key;
    std::uint16_t value;
    std::string_view name;
};

constexpr Row kIntel[] = {
    {4, Key::Model, 0, "INTEL 486 DX-25/33"},
    {4, Key::Model, 1, "INTEL 486 DX-50"},
    {4, Key::Model, 2, "INTEL 486 SX"},
    {4, Key::Model, 3, "INTEL 486 DX2"},
    {4, Key::Model, 4, "INTEL 486 SL"},
    {4, Key::Model, 5, "INTEL 486 SX2"},
    {4, Key::Model, 7, "INTEL 486 DX2-WB"},
    {4, Key::Model, 8, "INTEL 486 DX4"},
    {4, Key::Model, 9, "INTEL 486 DX4-WB"},
    {5, Key::Model, 0, "INTEL Pentium 60/66 A-step"},
    {5, Key::Model, 1, "INTEL Pentium 60/66"},
    {5, Key::Model, 2, "INTEL Pentium 75-200"},
    {5, Key::Model, 3, "INTEL OverDrive PODP5V83"},
    {5, Key::Model, 4, "INTEL Pentium MMX"},
    {5, Key::Model, 7, "INTEL Mobile Pentium 75-200"},
    {5, Key::Model, 8, "INTEL Mobile Pentium MMX"},
    {6, Key::Model, 1, "INTEL Pentium Pro A-Step"},
    {6, Key::Model, 2, "INTEL Pentium Pro"},
    {6, Key::Model, 3, "INTEL Pentium II Klamath"},
    {6, Key::Model, 5, "INTEL Pentium II Deschutes"},
    {6, Key::Model, 6, "INTEL Celeron Mendocino"},
    {6, Key::Model, 7, "INTEL Pentium III Katmai"},
    {6, Key::Model, 8, "INTEL Pentium III Coppermine"},
    {6, Key::Model, 9, "INTEL Mobile Pentium III"},
    {6, Key::Model, 10, "INTEL Pentium III (0.18um)"},
    {6, Key::Model, 11, "INTEL Pentium III (0.13um)"},
    {7, Key::AnyModel, 0, "INTEL Itanium"},
    {15, Key::ExtendedModel, 0, "INTEL Pentium IV (0.18 \xB5m)"},
    {15, Key::ExtendedModel, 1, "INTEL Pentium IV (0.18 \xB5m)"},
    {15, Key::ExtendedModel, 2, "INTEL Pentium IV (0.13 \xB5m)"},
    {15, Key::ExtendedModel, 3, "INTEL Pentium IV (0.09 \xB5m)"},
};

constexpr Row kAmd[] = {
    {4, Key::Model, 3, "AMD 486 DX2"},
    {4, Key::Model, 7, "AMD 486 DX2-WB"},
    {4, Key::Model, 8, "AMD 486 DX4"},
    {4, Key::Model, 9, "AMD 486 DX4-WB"},
    {4, Key::Model, 14, "AMD Am5x86-WT"},
    {4, Key::Model, 15, "AMD Am5x86-WB"},
    {5, Key::Model, 0, "AMD K5 SSA5"},
    {5, Key::Model, 1, "AMD K5"},
    {5, Key::Model, 6, "AMD K6"},
    {5, Key::Model, 7, "AMD K6"},
    {5, Key::Model, 8, "AMD K6-2"},
    {5, Key::Model, 9, "AMD K6-3"},
    {5, Key::Model, 13, "AMD K6-3+"},
    {6, Key::Model, 0, "AMD Athlon (25um)"},
    {6, Key::Model, 1, "AMD Athlon (25um)"},
    {6, Key::Model, 2, "AMD Athlon (18um)"},
    {6, Key::Model, 3, "AMD Duron"},
    {6, Key::Model, 4, "AMD Athlon Thunderbird"},
    {6, Key::Model, 6, "AMD Athlon Palamino"},
    {6, Key::Model, 7, "AMD Duron Morgan"},
    {6, Key::Model, 8, "AMD Athlon Thoroughbred"},
    {6, Key::Model, 10, "AMD Athlon Barton"},
    {15, Key::ExtendedModel, 4, "AMD Athlon 64"},
    {15, Key::ExtendedModel, 5, "AMD Athlon 64FX Operon"},
};

template <std::size_t N> constexpr bool NamesFit(const Row (&rows)[N]) {
    for (const Row& row : rows)
        if (row.name.size() > kCpuNameMax)
            return false;
    return true;
}
static_assert(NamesFit(kIntel) && NamesFit(kAmd), "a processor name exceeds the record's size");

constexpr std::string_view kUnknown = "unknown";

template <std::size_t N>
std::string_view Lookup(const Row (&rows)[N], std::uint16_t family, std::uint16_t model,
                        std::uint16_t extended_family, std::uint16_t extended_model) {
    for (const Row& row : rows) {
        if (row.family != family)
            continue;
        switch (row.key) {
        case Key::AnyModel:
            return row.name;
        case Key::Model:
            if (row.value == model)
                return row.name;
            break;
        case Key::ExtendedModel:
            if (extended_family == 0 && row.value == extended_model)
                return row.name;
            break;
        }
    }
    return kUnknown;
}

} // namespace

std::string_view CpuName(std::string_view vendor, std::uint16_t family, std::uint16_t model,
                         std::uint16_t extended_family, std::uint16_t extended_model) {
    if (vendor == "GenuineIntel")
        return Lookup(kIntel, family, model, extended_family, extended_model);
    if (vendor == "AuthenticAMD")
        return Lookup(kAmd, family, model, extended_family, extended_model);
    if (vendor == "CyrixInstead")
        return "Cyrix";
    if (vendor == "CentaurHauls")
        return "Centaur";
    return kUnknown;
}

} // namespace cv
