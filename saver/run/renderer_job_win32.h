// The renderer's job: a job object of the front end's own that holds the renderer and
// ends it when the front end ends, whatever ends it (Windows ending the saver, Task
// Manager, a crash), so that no renderer goes on drawing full screen with nobody to
// stop it.
#pragma once

#include <windows.h>

namespace Sorvanta_B {

class RendererJob final {
 public:
  RendererJob() = default;
  // Closing the job's last handle ends whatever the job still holds.
  ~RendererJob();
  RendererJob(const RendererJob&) = delete;
  RendererJob& operator=(const RendererJob&) = delete;

  // Puts a process started suspended (so that it has started nothing of its own yet)
  // into a new job whose only limit is JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE. Called once.
  // False, with no job kept, where the job cannot be made or joined (an older Windows,
  // a front end already in a job that forbids it): the process then runs without one.
  bool hold(HANDLE process);

 private:
  HANDLE job_ = nullptr;
};

}  // namespace Sorvanta_B
