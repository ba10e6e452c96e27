#include "link/port_problems.h"

#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool AllDigits(const char* text)
{
    if (*text == '\0')
        return false;
    for (; *text != '\0'; ++text)
        if (*text < '0' || *text > '9')
            return false;
    return true;
}

}  // namespace

std::optional<PortHolder> FindPortHolder(const std::string& device)
{
    struct stat target {};
    if (::stat(device.c_str(), &target) != 0)
        return std::nullopt;
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr)
        return std::nullopt;
    const int self = static_cast<int>(::getpid());
    std::optional<PortHolder> found;
    while (!found) {
        const dirent* entry = ::readdir(proc);
        if (entry == nullptr)
            break;
        if (!AllDigits(entry->d_name) || std::atoi(entry->d_name) == self)
            continue;
        const std::string fdDir = std::string("/proc/") + entry->d_name + "/fd";
        DIR* fds = ::opendir(fdDir.c_str());
        if (fds == nullptr)
            continue;  // another user's process: not ours to see
        while (const dirent* fd = ::readdir(fds)) {
            struct stat open {};
            // By device number, so a by-id link and its ttyUSB name match.
            if (AllDigits(fd->d_name) && ::stat((fdDir + "/" + fd->d_name).c_str(), &open) == 0 &&
                S_ISCHR(open.st_mode) && open.st_rdev == target.st_rdev) {
                PortHolder holder;
                holder.pid = std::atoi(entry->d_name);
                std::ifstream comm(std::string("/proc/") + entry->d_name + "/comm");
                std::getline(comm, holder.name);
                found = holder;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return found;
}

std::string BusyPortText(const std::string& device, const std::optional<PortHolder>& holder)
{
    if (!holder)
        return device + " is in use by another program";
    const std::string name = holder->name.empty() ? "another program" : holder->name;
    std::string text = device + " is in use by " + name + " (pid " + std::to_string(holder->pid) + "). ";
    if (holder->name == "gpsd")
        return text + "Connect to gpsd://localhost to share the receiver, or stop gpsd.";
    return text + "Close it there, or stop " + name + ".";
}

std::string PermissionDeniedText(const std::string& device, const std::string& group)
{
    const std::string g = group.empty() ? "dialout" : group;
    return "permission denied: " + device + " belongs to the " + g + " group; add yourself to the " + g +
           " group: sudo usermod -aG " + g + " $USER, then log out and in";
}

std::string DeviceGroup(const std::string& device)
{
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return {};
    const group* g = ::getgrgid(st.st_gid);
    return g != nullptr && g->gr_name != nullptr ? g->gr_name : std::string();
}
