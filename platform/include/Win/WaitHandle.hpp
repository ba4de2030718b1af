#pragma once
#include <cstdint>
#include <initializer_list>

namespace Win
{

constexpr std::uint32_t WAIT_OBJECT_0 = 0;
constexpr std::uint32_t WAIT_FAILED = 0xFFFFFFFF;

// Something a thread can wait on, as a Windows handle is: an event, a change
// notification. It is closed when it goes.
class WaitHandle
{
public:
    WaitHandle(const WaitHandle&) = delete;
    WaitHandle& operator=(const WaitHandle&) = delete;
    virtual ~WaitHandle();

    // False where Windows would give INVALID_HANDLE_VALUE.
    bool Valid() const { return descriptor_ >= 0; }
    int Descriptor() const { return descriptor_; }

protected:
    explicit WaitHandle(int descriptor) : descriptor_(descriptor) {}
    // Closes the handle: what it stands for could not be set up.
    void Invalidate();

private:
    int descriptor_;
};

// Waits without time limit until one of the handles is signalled: WAIT_OBJECT_0 plus
// the index of the first one signalled, so an earlier handle wins when several are;
// WAIT_FAILED when a handle is invalid or broke.
std::uint32_t WaitForMultipleObjects(std::initializer_list<const WaitHandle*> handles);

}  // namespace Win
