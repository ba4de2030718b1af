#pragma once
#include <cstdint>
#include <string>

#include "Win/MessageReceiver.hpp"

// The receivers with a handler that DispatchWindowMessages serves, and the file
// names the transport shares between senders and receivers.
namespace Win
{

std::uint64_t AddHandledReceiver(MessageReceiver& receiver, MessageReceiver::Handler handler, int socket);
void RemoveHandledReceiver(std::uint64_t id);

// The message's sub-folder of the message folder, created when missing; empty
// when it cannot be made.
std::string MessageSubFolder(const std::string& messageName, std::string& error);

constexpr std::size_t MessageBytes = 16;

}  // namespace Win
