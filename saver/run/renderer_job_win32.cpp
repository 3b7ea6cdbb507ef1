#include "saver/run/renderer_job_win32.h"

namespace Sorvanta_B {

namespace {

HANDLE killOnCloseJob() {
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job == nullptr) {
    return nullptr;
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    CloseHandle(job);
    return nullptr;
  }
  return job;
}

}  // namespace

RendererJob::~RendererJob() {
  if (job_ != nullptr) {
    CloseHandle(job_);
  }
}

bool RendererJob::hold(HANDLE process) {
  HANDLE job = killOnCloseJob();
  if (job == nullptr) {
    return false;
  }
  if (!AssignProcessToJobObject(job, process)) {
    // Closing a job the process never joined ends nothing.
    CloseHandle(job);
    return false;
  }
  job_ = job;
  return true;
}

}  // namespace Sorvanta_B
