// Another computer holding the database file: a child process takes the exclusive lock, writes
// `write` under it (as a repair or a long import does) and keeps the lock until released. `begin`
// may take a lesser lock (a computer in the middle of a change), `end` drop the change.
#pragma once

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QString>

class OtherComputerLock {
  public:
    OtherComputerLock(const QString& path, const char* write, const char* begin = "BEGIN EXCLUSIVE",
                      const char* end = "COMMIT") {
        int ready[2], done[2];
        if (pipe(ready) != 0 || pipe(done) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            sqlite3* db = nullptr;
            sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            sqlite3_busy_timeout(db, 5000);
            const char c = sqlite3_exec(db, begin, nullptr, nullptr, nullptr) == SQLITE_OK &&
                                   sqlite3_exec(db, write, nullptr, nullptr, nullptr) == SQLITE_OK
                               ? 'y'
                               : 'n';
            (void)!::write(ready[1], &c, 1);
            char go = 0;
            (void)!read(done[0], &go, 1);  // until the parent writes or ends
            sqlite3_exec(db, end, nullptr, nullptr, nullptr);
            _exit(0);
        }
        close(ready[1]);
        close(done[0]);
        release_ = done[1];
        char c = 0;
        holds_ = pid_ > 0 && read(ready[0], &c, 1) == 1 && c == 'y';
        close(ready[0]);
    }
    ~OtherComputerLock() { release(); }

    bool holds() const { return holds_; }
    // Ends the change and waits for the process to end.
    void release() {
        if (release_ < 0) return;
        (void)!::write(release_, "x", 1);
        close(release_);
        release_ = -1;
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
        holds_ = false;
    }

  private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool holds_ = false;
};
