#include "hive_store.h"

#include "reg_file.h"
#include "registry_faults.h"
#include "win/fileapi.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace win::detail {

namespace {

int g_faultCount = 0;
HiveWriteFault g_faultWhere = HiveWriteFault::AfterPartialWrite;
int g_faultErrno = EIO;

// Takes one injected failure for the step where, if one is armed there.
bool FaultAt(HiveWriteFault where) {
    if (g_faultCount <= 0 || g_faultWhere != where)
        return false;
    --g_faultCount;
    errno = g_faultErrno;
    return true;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t put = write(fd, data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            if (put == 0)
                errno = ENOSPC;
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        out.append(buffer, static_cast<std::size_t>(got));
    }
}

std::string FolderOf(const std::string& path) {
    std::string::size_type slash = path.find_last_of('/');
    return slash == 0 ? "/" : slash == std::string::npos ? "." : path.substr(0, slash);
}

// Each trouble of a hive (it cannot be read, or it cannot be saved) is reported once per
// process, however often the hive is touched: true the first time.
bool FirstReport(const std::string& trouble, const std::string& path) {
    static auto* reported = new std::set<std::string>;
    return reported->insert(trouble + ":" + path).second;
}

class FileLock {
public:
    explicit FileLock(const std::string& path)
        : m_fd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666)) {
        while (m_fd >= 0 && flock(m_fd, LOCK_EX) != 0) {
            if (errno != EINTR) {
                close(m_fd);
                m_fd = -1;
            }
        }
    }
    ~FileLock() {
        if (m_fd >= 0)
            close(m_fd); // releases the lock
    }
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd;
};

} // namespace

void InjectHiveWriteFailures(int count, HiveWriteFault where, int error) {
    g_faultCount = count;
    g_faultWhere = where;
    g_faultErrno = error;
}

HiveStore::Identity HiveStore::IdentityOf(const struct stat& st) {
    return Identity{true,
                    st.st_dev,
                    st.st_ino,
                    st.st_size,
                    st.st_mtim.tv_sec,
                    st.st_mtim.tv_nsec,
                    st.st_ctim.tv_sec,
                    st.st_ctim.tv_nsec};
}

HiveStore::HiveStore(std::string path, std::string rootName) : m_path(std::move(path)) {
    m_hive.rootName = std::move(rootName);
}

FILETIME HiveStore::FileTime() const {
    if (!m_identity.exists)
        return FILETIME{0, 0};
    return win::FileTimeFromUnix(m_identity.mtimeSeconds,
                                 static_cast<long>(m_identity.mtimeNanoseconds));
}

void HiveStore::ReportUnusable(const std::string& why) {
    if (!FirstReport("read", m_path))
        return;
    std::fprintf(stderr,
                 "registry: cannot read %s, %s; the file is left untouched and its keys are "
                 "unavailable\n",
                 m_path.c_str(), why.c_str());
}

// The programs that change keys seldom look at the result (preferences are written on the way
// out), so a hive that cannot be saved says so itself.
void HiveStore::ReportUnsaved(const std::string& why) {
    if (!FirstReport("save", m_path))
        return;
    std::fprintf(stderr, "registry: cannot save %s, %s; changes to its keys are not kept\n",
                 m_path.c_str(), why.c_str());
}

LONG HiveStore::Refresh() {
    int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) {
            Identity missing;
            if (!m_loaded || !(m_identity == missing)) {
                m_hive.root.Clear();
                m_identity = missing;
                m_loaded = true;
            }
            m_state = ERROR_SUCCESS;
            return m_state;
        }
        ReportUnusable(std::strerror(errno));
        m_hive.root.Clear();
        m_loaded = false;
        m_state = ERROR_CANTREAD;
        return m_state;
    }
    struct stat st {};
    fstat(fd, &st);
    Identity identity = IdentityOf(st);
    if (m_loaded && identity == m_identity) {
        close(fd);
        return m_state;
    }
    std::string text;
    bool readOk = ReadAll(fd, text);
    int readErrno = errno;
    close(fd);
    m_identity = identity;
    m_loaded = true;
    std::string problem;
    if (!readOk) {
        ReportUnusable(std::strerror(readErrno));
        m_hive.root.Clear();
        m_loaded = false;
        m_state = ERROR_CANTREAD;
    } else if (!ParseRegFile(text, m_hive, &problem)) {
        ReportUnusable(problem);
        m_state = ERROR_REGISTRY_CORRUPT;
    } else {
        m_state = ERROR_SUCCESS;
    }
    return m_state;
}

LONG HiveStore::Modify(const Change& change) {
    FileLock lock(m_path + ".lock");
    if (!lock.Held()) {
        int failure = errno;
        ReportUnsaved("its lock " + m_path + ".lock cannot be taken (" + std::strerror(failure) +
                      ")");
        return failure == ENOSPC ? ERROR_DISK_FULL : ERROR_CANTWRITE;
    }
    LONG state = Refresh();
    if (state != ERROR_SUCCESS)
        return state;
    bool changed = false;
    LONG result = change(m_hive, changed);
    if (result != ERROR_SUCCESS || !changed)
        return result;
    result = WriteFile(FormatRegFile(m_hive));
    if (result != ERROR_SUCCESS) {
        m_loaded = false; // the cache holds a change the disk does not: read the disk again
        return result;
    }
    // The cache now equals the file just written; only its identity is new.  Nobody else
    // can have replaced the file yet: we still hold the lock.
    struct stat st {};
    if (stat(m_path.c_str(), &st) == 0)
        m_identity = IdentityOf(st);
    else
        m_loaded = false;
    return ERROR_SUCCESS;
}

LONG HiveStore::WriteFile(const std::string& text) {
    static unsigned long counter = 0;
    std::string temporary =
        m_path + ".new-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    auto failureCode = [] { return errno ? errno : EIO; };
    struct stat old {};
    bool hadHive = stat(m_path.c_str(), &old) == 0;
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    int failure = fd < 0 ? failureCode() : 0;
    if (!failure && hadHive)
        fchmod(fd, old.st_mode & 07777); // the hive keeps its permissions, whatever the umask
    if (!failure && FaultAt(HiveWriteFault::AfterPartialWrite)) {
        failure = failureCode();
        WriteAll(fd, text.data(), text.size() / 2);
    }
    if (!failure && !WriteAll(fd, text.data(), text.size()))
        failure = failureCode();
    if (!failure && (FaultAt(HiveWriteFault::AtSync) || fsync(fd) != 0))
        failure = failureCode();
    if (fd >= 0 && close(fd) != 0 && !failure)
        failure = failureCode();
    if (!failure &&
        (FaultAt(HiveWriteFault::AtRename) || rename(temporary.c_str(), m_path.c_str()) != 0))
        failure = failureCode();
    if (failure) {
        unlink(temporary.c_str());
        ReportUnsaved(std::string("it cannot be written (") + std::strerror(failure) + ")");
        return failure == ENOSPC || failure == EDQUOT ? ERROR_DISK_FULL : ERROR_CANTWRITE;
    }
    // The rename itself must reach the disk too, or a crash could bring the old hive back.
    int folder = open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return ERROR_SUCCESS;
}

HiveStore& HiveAt(const std::string& path, const std::string& rootName) {
    static auto* stores = new std::map<std::string, std::unique_ptr<HiveStore>>;
    std::unique_ptr<HiveStore>& slot = (*stores)[path];
    if (!slot)
        slot = std::make_unique<HiveStore>(path, rootName);
    return *slot;
}

} // namespace win::detail
