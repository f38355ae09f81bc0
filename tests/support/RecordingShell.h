// A shell service for tests: records what would have been opened.
#pragma once

#include <QString>

#include <memory>
#include <vector>

#include "platform/ShellService.h"

class RecordingShell : public ShellService {
  public:
    struct Call {
        QString file, operation, parameters, workDir;
    };
    bool execute(const QString& file, const QString& operation, const QString& parameters,
                 const QString& workDir, bool) override {
        calls.push_back({file, operation, parameters, workDir});
        return accepts;
    }
    std::vector<Call> calls;
    bool accepts = true;  // what the shell answers
};

// Installs a RecordingShell for the scope.
class ScopedRecordingShell {
  public:
    ScopedRecordingShell()
        : shell_(std::make_shared<RecordingShell>()), previous_(ShellService::setInstance(shell_)) {}
    ~ScopedRecordingShell() { ShellService::setInstance(previous_); }
    RecordingShell* operator->() { return shell_.get(); }

  private:
    std::shared_ptr<RecordingShell> shell_;
    std::shared_ptr<ShellService> previous_;
};
