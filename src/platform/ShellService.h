// The shell's "open a file or address" service; tests replace it to see what would be opened.
#pragma once

#include <QString>

#include <memory>

class ShellService {
  public:
    virtual ~ShellService() = default;
    // Applies `operation` ("open" when empty) to `file`; an executable file is started with
    // `parameters` in `workDir`. True when the request was accepted.
    virtual bool execute(const QString& file, const QString& operation, const QString& parameters,
                         const QString& workDir, bool minimised) = 0;

    // The service in use; the desktop's own unless one was set.
    static ShellService& instance();
    // Replaces the service (tests); returns the previous one.
    static std::shared_ptr<ShellService> setInstance(std::shared_ptr<ShellService> service);
};

// The desktop's service: executables are started, anything else goes to the desktop's opener
// (xdg-open), whose answer says whether a program took the file; Qt's opener where there is none.
class DesktopShellService : public ShellService {
  public:
    bool execute(const QString& file, const QString& operation, const QString& parameters,
                 const QString& workDir, bool minimised) override;
};
