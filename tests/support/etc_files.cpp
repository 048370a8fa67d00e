#include "tests/support/etc_files.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace tests_support {
namespace {

std::string failure(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

bool writeAll(const std::string& folder, const std::vector<EtcFile>& files) {
  for (const EtcFile& file : files) {
    std::ofstream out(folder + "/" + file.name, std::ios::binary | std::ios::trunc);
    out << file.text;
    if (!out.flush()) return false;
  }
  return true;
}

bool bindAll(const std::string& folder, const std::vector<EtcFile>& files) {
  for (const EtcFile& file : files) {
    const std::string target = "/etc/" + file.name;
    if (mount((folder + "/" + file.name).c_str(), target.c_str(), nullptr, MS_BIND, nullptr) != 0) {
      return false;
    }
  }
  return true;
}

// A bind mount needs its target to exist. A bare system (a container, a
// minimal install) may have no /etc/hosts, or a resolv.conf that is a
// dangling link; then /etc gets a writable overlay instead.
std::string placeFiles(const std::string& scratch, const std::vector<EtcFile>& files) {
  if (!writeAll(scratch, files)) return failure("write the files");
  if (bindAll(scratch, files)) return {};
  const std::string upper = scratch + "/upper";
  const std::string work = scratch + "/work";
  if (mkdir(upper.c_str(), 0755) != 0 || mkdir(work.c_str(), 0700) != 0) {
    return failure("make the overlay's folders");
  }
  if (!writeAll(upper, files)) return failure("write the overlay's files");
  const std::string options = "lowerdir=/etc,upperdir=" + upper + ",workdir=" + work;
  if (mount("overlay", "/etc", "overlay", 0, options.c_str()) != 0) return failure("overlay /etc");
  return {};
}

}  // namespace

std::string replaceEtcFiles(const std::vector<EtcFile>& files) {
  char folder[] = "/tmp/tarnwick-etc-XXXXXX";
  if (mkdtemp(folder) == nullptr) return failure("make a scratch folder");
  // The files live on a memory file system mounted only in this namespace,
  // so nothing is left on the machine's disk whatever happens.
  std::string error;
  if (mount("tmpfs", folder, "tmpfs", 0, "mode=0755") != 0) {
    error = failure("mount a scratch file system");
  } else {
    error = placeFiles(folder, files);
    // Binds and overlays keep what they use; the scratch mount can go.
    umount2(folder, MNT_DETACH);
  }
  rmdir(folder);
  return error;
}

}  // namespace tests_support
