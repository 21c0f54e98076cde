#include "app/variable_sources.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace cv {
namespace {

/// A machine in memory; expansion replaces "<X>" by "x" so that tests see where it ran.
class FakeMachine : public VariableSources {
  public:
    std::map<std::string, std::string> registry; ///< "hive|key|name" -> value
    std::set<std::string> paths;
    std::map<std::string, std::string> ini;      ///< "file|section|entry" -> value
    std::map<std::string, std::string> web;
    std::set<std::string> windows;               ///< "class|title"
    std::vector<std::string> asked;
    int slow = 0;

    std::string Expand(const std::string& text) override {
        std::string out = text;
        for (std::size_t at = out.find("<X>"); at != std::string::npos; at = out.find("<X>"))
            out.replace(at, 3, "x");
        return out;
    }
    std::string RegistryValue(const std::string& h, const std::string& k, const std::string& n) override {
        return Find(registry, h + "|" + k + "|" + n);
    }
    bool PathExists(const std::string& path) override {
        asked.push_back(path);
        return paths.count(path) > 0;
    }
    std::string IniValue(const std::string& f, const std::string& s, const std::string& e) override {
        return Find(ini, f + "|" + s + "|" + e);
    }
    std::string WebPage(const std::string& url) override {
        asked.push_back(url);
        return Find(web, url);
    }
    bool WindowExists(const std::string& c, const std::string& t) override {
        asked.push_back(c + "|" + t);
        return windows.count(c + "|" + t) > 0;
    }
    void SlowSourceStarting() override { ++slow; }

  private:
    static std::string Find(const std::map<std::string, std::string>& m, const std::string& key) {
        auto found = m.find(key);
        return found == m.end() ? "" : found->second;
    }
};

VariableRow Row(const std::string& source) {
    VariableRow row;
    row.name = "<V>";
    row.fallback = "default";
    row.source = source;
    return row;
}

TEST(ResolveVariableValue, NowhereAndUnknownSources) {
    FakeMachine m;
    EXPECT_EQ(ResolveVariableValue(Row("Nowhere"), m), "default");
    EXPECT_EQ(ResolveVariableValue(Row("Retrieve from Web"), m), "");
    EXPECT_EQ(ResolveVariableValue(Row("registry"), m), "");
    EXPECT_EQ(ResolveVariableValue(Row(""), m), "");
    EXPECT_EQ(m.slow, 0);
}

TEST(ResolveVariableValue, RegistryFallsBackWhenEmpty) {
    FakeMachine m;
    m.registry["HKEY_CURRENT_USER|Software\\Acme|Colour"] = "blue";
    VariableRow row = Row("Registry");
    row.hive = "HKEY_CURRENT_USER";
    row.key = "Software\\Acme";
    row.valueName = "Colour";
    EXPECT_EQ(ResolveVariableValue(row, m), "blue");
    row.valueName = "Size";
    EXPECT_EQ(ResolveVariableValue(row, m), "default");
}

TEST(ResolveVariableValue, IniFileMustExist) {
    FakeMachine m;
    m.ini["C:\\x\\a.ini|Main|Mode"] = "fast";
    m.ini["C:\\gone.ini|Main|Mode"] = "never";
    VariableRow row = Row("INI Files");
    row.iniFile = "C:\\<X>\\a.ini";
    row.iniSection = "Main";
    row.iniEntry = "Mode";
    EXPECT_EQ(ResolveVariableValue(row, m), "default"); // the file is not there
    m.paths.insert("C:\\x\\a.ini");
    EXPECT_EQ(ResolveVariableValue(row, m), "fast");
    row.iniEntry = "Other";
    EXPECT_EQ(ResolveVariableValue(row, m), "default");
    row.iniFile = "C:\\gone.ini";
    EXPECT_EQ(ResolveVariableValue(row, m), "default");
}

TEST(ResolveVariableValue, FileTestAndWebAreSlowSources) {
    FakeMachine m;
    m.paths.insert("C:\\x\\here");
    m.web["http://host/x.txt"] = "42";
    VariableRow file = Row("Find File/Folder");
    file.path = "C:\\<X>\\here";
    EXPECT_EQ(ResolveVariableValue(file, m), "TRUE");
    file.path = "C:\\<X>\\gone";
    EXPECT_EQ(ResolveVariableValue(file, m), "FALSE");
    VariableRow web = Row("Retrive from Web");
    web.url = "http://host/<X>.txt";
    EXPECT_EQ(ResolveVariableValue(web, m), "42");
    web.url = "http://host/missing";
    EXPECT_EQ(ResolveVariableValue(web, m), "default");
    EXPECT_EQ(m.slow, 4);
    EXPECT_EQ(m.asked, (std::vector<std::string>{"C:\\x\\here", "C:\\x\\gone", "http://host/x.txt",
                                                 "http://host/missing"}));
}

TEST(ResolveVariableValue, WindowTest) {
    FakeMachine m;
    m.windows.insert("AmbrelEvent|Trace monitor");
    m.windows.insert("|x title");
    VariableRow row = Row("Find Window");
    row.windowClass = "AmbrelEvent";
    row.windowTitle = "Trace monitor";
    EXPECT_EQ(ResolveVariableValue(row, m), "TRUE");
    row.windowTitle = "Other";
    EXPECT_EQ(ResolveVariableValue(row, m), "FALSE");
    row.windowClass = "";
    row.windowTitle = "<X> title"; // an empty class stands for any class
    EXPECT_EQ(ResolveVariableValue(row, m), "TRUE");
    // With neither a class nor a title there is nothing to look for.
    row.windowTitle = "";
    m.asked.clear();
    EXPECT_EQ(ResolveVariableValue(row, m), "FALSE");
    EXPECT_TRUE(m.asked.empty());
    EXPECT_EQ(m.slow, 0);
}

} // namespace
} // namespace cv
