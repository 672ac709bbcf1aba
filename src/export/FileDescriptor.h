#pragma once
// An open file descriptor with one owner, closed when the owner goes: the movie file or the
// pipe's write end that the encoder's thread writes, the pipe's read end on its way to the
// converter. Handing it over moves it, so no path closes it twice or leaks it.

#include <utility>

#include <unistd.h>

namespace quorvel {

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(FileDescriptor &&other) noexcept : fd_(other.release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    bool isValid() const { return fd_ >= 0; }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    // Closes it; the result of close(), 0 when there was nothing to close.
    int reset()
    {
        const int fd = release();
        return fd >= 0 ? ::close(fd) : 0;
    }

private:
    int fd_ = -1;
};

} // namespace quorvel
