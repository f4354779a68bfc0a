// The files: reading whole, and replacing whole (db/dxf/replacefile.h).
#include "db/dxf/dxffile.h"

#include "db/dxf/replacefile.h"
#include "db/dxf/tags.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <utility>

namespace cadhost::db::dxf {

namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// The start of a file is read to tell a drawing; comments longer than this say no.
constexpr std::size_t kHeadSize = 64 * 1024;

// What a file is read by at a time.
constexpr std::size_t kPieceSize = 256 * 1024;

// Where a file's text starts in memory: at a page of the usual size.
constexpr std::size_t kAlignment = 4096;

// Maps the whole pages of a big buffer in one call, not page by page as they are first
// written: about a quarter less time in the kernel for a file of tens of megabytes.  A
// kernel that cannot leaves them to be mapped as they are written.
void Prefault(char* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
    static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    if (size < (std::size_t{1} << 20) || page == 0 || page == static_cast<std::uintptr_t>(-1))
        return;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + size) / page * page;
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)size;
#endif
}

} // namespace

bool IsReplaceableDrawing(const std::string& unixPath) {
    std::ifstream in(unixPath, std::ios::binary);
    if (!in)
        return false;
    std::string head(kHeadSize, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head.empty() || BeginsAsDxf(head);
}

Acad::ErrorStatus ReadDxfFile(const std::string& unixPath, AcDbDatabase*& db, std::string& error) {
    db = nullptr;
    struct stat info {};
    if (::stat(unixPath.c_str(), &info) != 0) {
        error = Reason(errno);
        return Acad::eFileNotFound;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "it is a folder";
        return Acad::eFileAccessErr;
    }
    int fd = ::open(unixPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return Acad::eFileAccessErr;
    }
    // The file is read straight into a buffer with room for it, whose pages were mapped in
    // one call: never written before, it is written once, by the kernel's copy.  The text
    // starts on a page, as the file's pages do: into memory a few bytes off a page, the
    // copy ran three times slower (50 MB: 22 ms against 7).
    std::size_t capacity = info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
    std::unique_ptr<char[]> buffer;
    char* text = nullptr;
    auto makeRoom = [&](std::size_t kept) {
        std::unique_ptr<char[]> more(new char[capacity + kAlignment]);
        char* start =
            more.get() +
            (kAlignment - reinterpret_cast<std::uintptr_t>(more.get()) % kAlignment) % kAlignment;
        Prefault(start, capacity);
        if (kept)
            std::memcpy(start, text, kept);
        buffer = std::move(more);
        text = start;
    };
    makeRoom(0);
    std::size_t size = 0;
    // Reads into the room left, or, with none left, a piece aside: the file may have grown
    // since its size was asked, or tell none (a pipe).
    std::unique_ptr<char[]> aside;
    for (;;) {
        const bool full = size == capacity;
        if (full && !aside)
            aside.reset(new char[kPieceSize]);
        char* into = full ? aside.get() : text + size;
        ssize_t n = ::read(fd, into, full ? kPieceSize : std::min(capacity - size, kPieceSize));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            error = "read error";
            return Acad::eFileAccessErr;
        }
        if (n == 0)
            break;
        if (full) {
            capacity = capacity * 2 + kPieceSize;
            makeRoom(size);
            std::memcpy(text + size, aside.get(), static_cast<std::size_t>(n));
        }
        size += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return ReadDxfFileText(std::move(buffer), std::string_view(text, size), db, error);
}

Acad::ErrorStatus WriteDxfFile(AcDbDatabase* db, const std::string& unixPath, std::string& error) {
    // The text goes to the file in pieces as it is made; the temporary is made once the
    // handles the text needs are settled, so a refused name leaves no file behind.
    FileReplacement file(unixPath);
    auto ready = [&] { return file.open(error) ? Acad::eOk : Acad::eFileAccessErr; };
    auto put = [&](std::string_view piece) { return file.write(piece); };
    Acad::ErrorStatus es = WriteDxf(db, ready, put, error);
    if (es != Acad::eOk) {
        if (file.writeError())
            error = Reason(file.writeError());
        return es;
    }
    return file.commit(error) ? Acad::eOk : Acad::eFileAccessErr;
}

} // namespace cadhost::db::dxf
