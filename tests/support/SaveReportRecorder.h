#pragma once

// Takes the core's reports of failed saves for as long as it lives, and
// keeps them for the test to look at.

#include "core/RecordFile.h"

#include <string>
#include <vector>

namespace testing_support {

class SaveReportRecorder : public Module1::RecordSaveReport {
public:
    struct Report {
        std::string path;
        std::string reason;
        std::string message;
        Module1::RecordFileError::Action action;
    };

    SaveReportRecorder() { Module1::UseRecordSaveReport(this); }
    ~SaveReportRecorder() override { Module1::UseRecordSaveReport(nullptr); }
    SaveReportRecorder(const SaveReportRecorder&) = delete;
    SaveReportRecorder& operator=(const SaveReportRecorder&) = delete;

    void saveFailed(const Module1::RecordFileError& error) override
    {
        reports.push_back({error.path(), error.reason(), error.what(), error.action()});
    }

    std::vector<Report> reports;
};

} // namespace testing_support
