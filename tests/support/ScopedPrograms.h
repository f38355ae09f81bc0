// Programs of a test on the path: small shell scripts in a folder of their own, put first on PATH
// for the scope, and nothing else of the machine's (a tool it has installed stays out of reach).
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

class ScopedPrograms {
  public:
    ScopedPrograms() : previous_(qgetenv("PATH")) { qputenv("PATH", dir_.path().toUtf8()); }
    ~ScopedPrograms() { qputenv("PATH", previous_); }
    ScopedPrograms(const ScopedPrograms&) = delete;
    ScopedPrograms& operator=(const ScopedPrograms&) = delete;

    // Adds the program `name` running the shell lines `body` (other programs by their full path).
    void add(const QString& name, const QByteArray& body) {
        QFile f(QDir(dir_.path()).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

  private:
    QTemporaryDir dir_;
    QByteArray previous_;
};
