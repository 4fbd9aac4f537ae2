/* For the recording doubles: the record of the latest call, which recordingOfLatestCall()
   hands to the tests. */
#ifndef LATEST_CALL_H
#define LATEST_CALL_H

#include "recording.h"

extern Recording latestCall;

#endif /* LATEST_CALL_H */
