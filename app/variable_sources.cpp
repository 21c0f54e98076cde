#include "app/variable_sources.h"

namespace cv {

namespace {

std::string OrFallback(std::string value, const VariableRow& row) {
    return value.empty() ? row.fallback : value;
}

std::string ExpandNonEmpty(VariableSources& sources, const std::string& text) {
    return text.empty() ? text : sources.Expand(text);
}

const char* TrueOrFalse(bool value) { return value ? "TRUE" : "FALSE"; }

} // namespace

VariableRow ReadVariableRow(const std::function<std::string(const std::string&)>& lookup, int row) {
    auto key = [&](char column) { return lookup(column + std::to_string(row)); };
    VariableRow r;
    r.name = key('A');
    r.fallback = key('B');
    r.text = key('C');
    r.source = key('D');
    r.hive = key('E');
    r.key = key('F');
    r.valueName = key('G');
    r.iniFile = key('H');
    r.iniSection = key('I');
    r.iniEntry = key('J');
    r.path = key('L');
    r.m = key('M');
    r.n = key('N');
    r.url = key('O');
    r.windowClass = key('P');
    r.windowTitle = key('Q');
    return r;
}

std::string ResolveVariableValue(const VariableRow& row, VariableSources& sources) {
    const std::string& source = row.source;
    if (source == "Nowhere")
        return row.fallback;
    if (source == "Registry")
        return OrFallback(sources.RegistryValue(row.hive, row.key, row.valueName), row);
    if (source == "INI Files") {
        std::string file = sources.Expand(row.iniFile);
        if (!sources.PathExists(file))
            return row.fallback;
        return OrFallback(sources.IniValue(file, row.iniSection, row.iniEntry), row);
    }
    if (source == "Find File/Folder") {
        sources.SlowSourceStarting();
        return TrueOrFalse(sources.PathExists(sources.Expand(row.path)));
    }
    if (source == "Retrive from Web") {
        sources.SlowSourceStarting();
        return OrFallback(sources.WebPage(sources.Expand(row.url)), row);
    }
    if (source == "Find Window") {
        std::string window_class = ExpandNonEmpty(sources, row.windowClass);
        std::string title = ExpandNonEmpty(sources, row.windowTitle);
        // Both empty would match whatever window comes first: there is nothing to look for.
        if (window_class.empty() && title.empty())
            return TrueOrFalse(false);
        return TrueOrFalse(sources.WindowExists(window_class, title));
    }
    return {};
}

} // namespace cv
