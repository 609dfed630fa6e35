// The worker processes of a conversion, each writing one MP3 file at a
// time: jobs are handed out as they come, results taken back as they end.
// One pool per process, used by one thread; the interruption handler may
// end it from another.
#pragma once

#include <cstdint>
#include <string>

#include "audio/fragment_job.h"

// Allows up to size workers; they start as jobs come.
void OpenWorkerPool(int size);

// Whether a job can be handed out now without waiting.
bool WorkerAvailable();
int JobsInProgress();

// Gives job to an idle worker, starting one when fewer than the pool's size
// run; raises "Impossibile creare gli oggetti per l'elaborazione" when none
// can start.
void HandOutJob(const TFragmentJob& job);

struct TJobResult {
  int32_t track = 0;
  std::string error;  // the Italian message of a job that failed, with nothing of it left
};

// Waits until a job in progress ends. The worker of a job that failed ends.
TJobResult AwaitFinishedJob();

// Ends the jobs of tracks above track at once, with their files deleted.
void StopJobsAfter(int32_t track);

// Ends every worker: idle ones as they finish, busy ones at once, with the
// files they were writing deleted. Never raises.
void CloseWorkerPool();

// For the interruption handler: as CloseWorkerPool within a second, and no
// worker starts after.
void StopWorkersForGood();

