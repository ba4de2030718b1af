#pragma once
#include <cstdint>
#include <string>

// Registered window messages between processes of this machine. Each registered
// message has a sub-folder of the message folder; each receiver of it is an
// AF_UNIX datagram socket there, and a post to the broadcast window reaches every
// one. A message carries its two parameters as 16 little-endian bytes.
namespace Win
{

using WindowHandle = std::uintptr_t;
constexpr WindowHandle HWND_BROADCAST = 0xFFFF;

// The folder of one desktop: the environment's SURVANTO_MESSAGE_FOLDER, else one
// per user under /tmp. A host sets its own so that parallel hosts stay apart.
// A folder that is a link, is not this user's or lets others in is refused:
// nothing is received or sent there. Receivers' sockets are for this user alone.
constexpr const char* MessageFolderVariable = "SURVANTO_MESSAGE_FOLDER";
void SetMessageFolder(const std::string& folder);
std::string MessageFolder();

// Posts to every receiver of the registered message without waiting for any;
// false for a message never registered in this process or a window that is not
// the broadcast window (this desktop has no other windows).
bool PostMessage(WindowHandle window, std::uint32_t message, std::uint64_t firstParameter, std::uint64_t secondParameter);

// Runs the handlers of this process's receivers for every message waiting, on
// the calling thread (the one that plays the user-interface thread); the count.
int DispatchWindowMessages();
// Waits until a message waits for one of this process's handled receivers.
bool WaitForWindowMessage(int timeoutMs);

}  // namespace Win
