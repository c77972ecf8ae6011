/* The simulated head tracker: a stand-in for the vendor's IWEARDRV.DLL with the same four entry
   points, plus a small API through which a test in the same process steers it and reads what the
   plug-in did to it. Plain C; C++ includes it inside extern "C" {}. Every function is safe to
   call from any thread at any time.

   Raw units: 65536 = a full turn; readings are wrapped into [-32768, 32767]. Raw yaw positive =
   head turned to the driver's left, pitch positive = looking up, roll positive = head tilted
   right. */
#pragma once

#include <stdint.h>

/* --- The driver's entry points. 0 = success. --- */

/* Opens the tracker. Also accepted while it is open, and after a failed read with no close. */
int32_t IWROpenTracker(void);
/* Writes one reading. Fails while the tracker was never opened or has been closed. */
int32_t IWRGetTracking(int32_t* yaw, int32_t* pitch, int32_t* roll);
int32_t IWRCloseTracker(void);
/* Takes the present head pose as the new zero of the synthetic, trace and driving motion (still
   poses and pushed readings are given exactly). */
int32_t IWRZeroSet(void);

/* --- The test API --- */

enum {
    SimTrackerClosed = 0, /* never opened, or closed */
    SimTrackerOpen = 1,   /* opened, and the last read succeeded */
    SimTrackerFailing = 2 /* opened, but the last read failed: waiting for a new open */
};

typedef struct SimTrackerCounters {
    int32_t opens; /* IWROpenTracker calls, failed ones included */
    int32_t failedOpens;
    int32_t reads; /* IWRGetTracking calls, failed and hung ones included */
    int32_t failedReads;
    int32_t closes;
    int32_t zeroSets;
    int32_t callsInProgress; /* entry-point calls that have not returned yet */
    int32_t hungReads;       /* reads blocked by a hang right now */
    int32_t queuedReadings;  /* pushed readings not yet handed out */
    int32_t isOpen;          /* 1 while the state is not SimTrackerClosed */
} SimTrackerCounters;

/* Back to the configuration read from the environment when the library was loaded; counters,
   call log, queue, faults and zero are cleared, and a hung read is released. Whether the tracker
   is open is kept: that is the caller's business. */
void SimTrackerReset(void);
/* Holds one pose from now on, after any pushed readings. */
void SimTrackerSetPose(int32_t yaw, int32_t pitch, int32_t roll);
/* Queues `count` readings (yaw, pitch, roll triples in `values`), one handed out per successful
   read; once they are used up, the pose of SimTrackerSetPose holds (0, 0, 0 unless set). */
void SimTrackerPushReadings(const int32_t* values, int32_t count);
/* The next `count` opens fail; a negative count makes every open fail until changed. */
void SimTrackerSetOpenFailures(int32_t count);
/* Every nth read from now on fails; 0 turns it off. */
void SimTrackerSetReadFailEvery(int32_t n);
/* The next `count` reads fail. */
void SimTrackerFailNextReads(int32_t count);
/* The next read blocks until SimTrackerReleaseHang (or SimTrackerReset); it then succeeds. */
void SimTrackerHangNextRead(void);
/* Lets a hung read return, and cancels a hang that has not begun. */
void SimTrackerReleaseHang(void);
/* Holds the tracker still at a checkpoint: once `total` reads have succeeded since the last reset,
   the next read blocks until released. Also releases a read blocked now, so that a test steps
   from one checkpoint to the next without a read slipping past in between. */
void SimTrackerHangAfterReads(int32_t total);
void SimTrackerGetCounters(SimTrackerCounters* counters);
/* SimTrackerClosed, SimTrackerOpen or SimTrackerFailing. */
int32_t SimTrackerGetState(void);
/* The calls since the last reset, one letter each, oldest first: O open, o failed open, R read,
   r failed read, C close, Z zero. Copies at most size - 1 letters and a NUL; returns the number of
   letters logged (the log keeps the first 4096). */
int32_t SimTrackerGetCallLog(char* buffer, int32_t size);
