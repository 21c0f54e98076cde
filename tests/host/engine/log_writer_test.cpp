// The uninstall log's line format.
#include "engine/uninstall_log_writer.h"
#include "recording_target.h"

#include <gtest/gtest.h>

namespace cv {
namespace {

class RefusingSink : public ILogSink {
  public:
    bool Append(std::string_view) override { return false; }
};

TEST(UninstallLogWriter, KeyEqualsValueCrLfWithoutEscaping) {
    test::MemoryLog sink;
    UninstallLogWriter log(sink);
    log.WriteLogEntry("TOTALFILE", "3");
    log.WriteLogEntry("RUN3RDCMD", "");
    log.WriteLogEntry("FILE", "C:\\a=b\\c d.txt");
    EXPECT_EQ(sink.text, "TOTALFILE=3\r\nRUN3RDCMD=\r\nFILE=C:\\a=b\\c d.txt\r\n");
    EXPECT_EQ(log.lost_lines(), 0);
}

TEST(UninstallLogWriter, ALineThatCannotBeWrittenIsCountedAndTheRunGoesOn) {
    RefusingSink sink;
    UninstallLogWriter log(sink);
    log.WriteLogEntry("DIR", "C:\\x");
    log.WriteLogEntry("DIR", "C:\\y");
    EXPECT_EQ(log.lost_lines(), 2);
}

} // namespace
} // namespace cv
