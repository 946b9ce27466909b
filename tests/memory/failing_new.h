// A process-wide operator new that can be made to fail: the throwing forms
// then throw std::bad_alloc and the non-throwing ones return null, as an
// exhausted heap makes them. Only the thread that armed it is affected.
#pragma once

namespace test_memory {

// Fails every operator new of this thread while alive.
class NewFails {
 public:
  NewFails();
  ~NewFails();
  NewFails(const NewFails&) = delete;
  NewFails& operator=(const NewFails&) = delete;
};

}  // namespace test_memory
