#include "engine/step_download.h"

#include "engine/engine.h"
#include "engine/step_files.h"

namespace cv {

namespace {

std::string Trimmed(std::string text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::string FileNameOfUrl(const std::string& url) {
    const std::size_t slash = url.rfind('/');
    return slash == std::string::npos ? url : url.substr(slash + 1);
}

/// What the user decided about a failed download.
enum class AfterFailure { Retry, GoOn, EndRun };

AfterFailure AskAboutFailure(CCVEngine& engine, const std::string& destination, bool critical) {
    if (critical) {
        engine.progress().AskRetryIgnoreAbort(
            "Corvane will abort installation, the file:\r\n" + destination + "\r\nCan't be installed.", true);
        engine.Abort();
        return AfterFailure::EndRun;
    }
    const int answer = engine.progress().AskRetryIgnoreAbort(
        "Corvane can't copy the file:\r\n" + destination + "\r\nWhat you would like to do ?", false);
    if (answer == kAnswerRetry)
        return AfterFailure::Retry;
    if (answer == kAnswerAbort) {
        engine.Abort();
        return AfterFailure::EndRun;
    }
    return AfterFailure::GoOn;
}

} // namespace

UrlSource SplitUrlSource(const std::string& source) {
    UrlSource cut;
    const std::size_t brace = source.find('{');
    cut.url = source.substr(0, brace);
    if (brace != std::string::npos) {
        std::string condition = source.substr(brace + 1);
        const std::size_t close = condition.find('}');
        if (close != std::string::npos)
            condition.erase(close);
        cut.condition = Trimmed(condition);
    }
    return cut;
}

std::string UrlDestinationPathOf(const FileRecord& record) {
    FileRecord named = record;
    named.file_name = FileNameOfUrl(SplitUrlSource(record.source).url);
    return DestinationPathOf(named);
}

bool InstallUrlRecord(CCVEngine& engine, const std::string& source, const std::string& destination,
                      bool critical) {
    const UrlSource cut = SplitUrlSource(source);
    if (!cut.condition.empty()) {
        const bool holds = engine.ConditionHolds(cut.condition);
        engine.Trace("Download condition " + cut.condition + (holds ? " TRUE" : " FALSE"));
        if (!holds)
            return true;
    }
    IInstallTarget& target = engine.target();
    for (;;) {
        IFileDownload* download = engine.file_download();
        const DownloadResult result =
            download ? download->Download(cut.url, destination) : DownloadResult::Failed;
        if (result == DownloadResult::Done)
            return true;
        // Nothing half-fetched stays behind, whoever fetched it.
        if (target.FileExists(destination))
            target.RemoveFile(destination);
        if (result == DownloadResult::Cancelled)
            return false;
        switch (AskAboutFailure(engine, destination, critical)) {
        case AfterFailure::Retry:
            continue;
        case AfterFailure::GoOn:
            return true;
        case AfterFailure::EndRun:
            return false;
        }
    }
}

} // namespace cv
