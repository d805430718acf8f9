/* What the substitute VrkRas driver remembers and streams; every call but init and release is made
   with the driver's lock held. */
#ifndef VRKRAS_STATE_H
#define VRKRAS_STATE_H

#include <ntddk.h>

#include "vrkras_control.h"

extern vrkras_state vrkras_memory;
extern vrkras_faults vrkras_faults_now;

BOOLEAN vrkras_init(unsigned int adapter);
void vrkras_release(void);
void vrkras_lock(void);
void vrkras_unlock(void);

void vrkras_reset(void);
void vrkras_snapshot(vrkras_state *out);
ULONG vrkras_keep_block(unsigned int block, const UCHAR *bytes, ULONG length);
ULONG vrkras_copy_block(unsigned int block, UCHAR *out, ULONG size);

BOOLEAN vrkras_configure(const vrkras_stream_config *config);
BOOLEAN vrkras_push(unsigned int stream, const UCHAR *bytes, ULONG length);
BOOLEAN vrkras_set_limit(const vrkras_limit *limit);
/* Fills out with the stream's next chunk; returns the byte count to report. */
ULONG vrkras_stream_read(unsigned int stream, UCHAR *out, ULONG size);

#endif
