#include "engine/platform/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/platform/video.h"

namespace {

int lockFd = -1;
int socketFd = -1;
std::string lockPath;
std::string socketPath;

std::string runtimeDirectory(bool* shared) {
  *shared = false;
  if (const char* own = std::getenv("ZR_RUNTIME_DIR"); own && *own) return own;
  if (const char* xdg = std::getenv("XDG_RUNTIME_DIR"); xdg && *xdg) return xdg;
  *shared = true;  // /tmp is everybody's: the user id goes into the names
  return "/tmp";
}

bool fillAddress(sockaddr_un* address, const std::string& path) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

void askFirstCopy() {
  sockaddr_un address;
  if (!fillAddress(&address, socketPath)) return;
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  const char request[] = "raise";
  ::sendto(fd, request, sizeof request - 1, 0, reinterpret_cast<sockaddr*>(&address),
           sizeof address);
  ::close(fd);
}

void listen() {
  sockaddr_un address;
  if (!fillAddress(&address, socketPath)) return;
  ::unlink(socketPath.c_str());  // ours now that the lock is held
  socketFd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socketFd < 0) return;
  if (::bind(socketFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(socketFd);
    socketFd = -1;
  }
}

}  // namespace

int zr_instance_claim(const char* name) {
  if (lockFd >= 0) return 1;
  bool shared = false;
  const std::string dir = runtimeDirectory(&shared);
  std::string base = dir + "/" + (name && *name ? name : "zrsentry");
  if (shared) base += "-" + std::to_string(::getuid());
  lockPath = base + ".lock";
  socketPath = base + ".sock";
  lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd < 0) return 1;
  if (::flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
    ::close(lockFd);
    lockFd = -1;
    askFirstCopy();
    return 0;
  }
  // The holder's process id, for people looking at the file.
  if (::ftruncate(lockFd, 0) == 0) {
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::write(lockFd, pid.c_str(), pid.size()) < 0) {
      // only informative
    }
  }
  listen();
  return 1;
}

void zr_instance_release() {
  if (socketFd >= 0) {
    ::close(socketFd);
    socketFd = -1;
    ::unlink(socketPath.c_str());
  }
  // The lock file stays: unlinking it could let two later starts lock two different files.
  if (lockFd >= 0) {
    ::close(lockFd);
    lockFd = -1;
  }
}

int zr_instance_poll() {
  if (socketFd < 0) return 0;
  char buffer[32];
  int came = 0;
  while (::recv(socketFd, buffer, sizeof buffer, 0) > 0) came = 1;
  if (came) zr_window_raise();
  return came;
}

const char* zr_instance_lock_path() {
  return lockPath.c_str();
}

void zr_instance_forget() {
  if (socketFd >= 0) ::close(socketFd);
  if (lockFd >= 0) ::close(lockFd);
  socketFd = lockFd = -1;
}
