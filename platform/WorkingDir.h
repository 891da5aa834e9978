#pragma once
// The process's working directory, as exact bytes.
#include <QByteArray>

namespace platform {

bool setWorkingDirectory(const QByteArray &dir); // chdir
QByteArray workingDirectory();                   // getcwd, any length; empty on failure

// The one owner of the working directory: the file widgets move it through here, and the
// archiver commands start their programs in path(). Every relative name the program hands on
// refers to it.
class WorkingDirectory {
public:
    WorkingDirectory() : m_path(workingDirectory()) {}
    // The directory last entered (at first the process's own).
    const QByteArray &path() const { return m_path; }
    // Makes dir the working directory; on failure nothing changes.
    bool enter(const QByteArray &dir) {
        if (!setWorkingDirectory(dir))
            return false;
        m_path = dir;
        return true;
    }

private:
    QByteArray m_path;
};

} // namespace platform
