/* The substitute VrkRas driver's memory: levels, tables and flags it was sent, its counters, and the
   two text streams it hands out. */
#include "vrkras_state.h"

/* On x86_64 the DDK header turns this into a read of the kernel's shared page, which a driver
   hosted in winedevice.exe cannot see; the exported function works everywhere. */
#undef KeQuerySystemTime
NTKERNELAPI VOID NTAPI KeQuerySystemTime(PLARGE_INTEGER time);

#define POOL_TAG 0x73526B56u /* "VkRs" in memory */

typedef struct stream {
    vrkras_stream_config config;
    LONGLONG started;       /* system time of the configuration, 100 ns units */
    UCHAR *queue;
    ULONG queued;           /* bytes in the queue */
    ULONG taken;            /* bytes of the queue already handed out */
} stream;

vrkras_state vrkras_memory;
vrkras_faults vrkras_faults_now;

static FAST_MUTEX lock;
static stream streams[2];
static UCHAR *blocks[2];

static LONGLONG now(void)
{
    LARGE_INTEGER t;
    KeQuerySystemTime(&t);
    return t.QuadPart;
}

BOOLEAN vrkras_init(unsigned int adapter)
{
    unsigned int i;
    ExInitializeFastMutex(&lock);
    RtlZeroMemory(&vrkras_memory, sizeof vrkras_memory);
    RtlZeroMemory(&vrkras_faults_now, sizeof vrkras_faults_now);
    RtlZeroMemory(streams, sizeof streams);
    vrkras_memory.adapter = adapter;
    for (i = 0; i < 2; ++i) {
        streams[i].config.stream = i;
        streams[i].queue = (UCHAR *)ExAllocatePoolWithTag(NonPagedPool, VRKRAS_QUEUE_SIZE, POOL_TAG);
        blocks[i] = (UCHAR *)ExAllocatePoolWithTag(NonPagedPool, VRKRAS_MAX_BLOCK, POOL_TAG);
        if (!streams[i].queue || !blocks[i]) {
            vrkras_release();
            return FALSE;
        }
    }
    return TRUE;
}

void vrkras_release(void)
{
    unsigned int i;
    for (i = 0; i < 2; ++i) {
        if (streams[i].queue) ExFreePoolWithTag(streams[i].queue, POOL_TAG);
        if (blocks[i]) ExFreePoolWithTag(blocks[i], POOL_TAG);
        streams[i].queue = NULL;
        blocks[i] = NULL;
    }
}

void vrkras_lock(void) { ExAcquireFastMutex(&lock); }
void vrkras_unlock(void) { ExReleaseFastMutex(&lock); }

void vrkras_reset(void)
{
    const unsigned int adapter = vrkras_memory.adapter;
    const unsigned int open_now = vrkras_memory.open_now;
    unsigned int i;
    RtlZeroMemory(&vrkras_memory, sizeof vrkras_memory);
    vrkras_memory.adapter = adapter;
    vrkras_memory.open_now = open_now;
    for (i = 0; i < 2; ++i) {
        RtlZeroMemory(&streams[i].config, sizeof streams[i].config);
        streams[i].config.stream = i;
        streams[i].queued = streams[i].taken = 0;
    }
}

void vrkras_snapshot(vrkras_state *out)
{
    unsigned int i;
    for (i = 0; i < 2; ++i) vrkras_memory.streams[i].queued = streams[i].queued - streams[i].taken;
    RtlCopyMemory(out, &vrkras_memory, sizeof *out);
}

ULONG vrkras_keep_block(unsigned int block, const UCHAR *bytes, ULONG length)
{
    if (length > VRKRAS_MAX_BLOCK) length = VRKRAS_MAX_BLOCK;
    RtlCopyMemory(blocks[block], bytes, length);
    if (block == VRKRAS_BLOCK_MSN_EAZ)
        vrkras_memory.msn_eaz_length = length;
    else
        vrkras_memory.callers_length = length;
    return length;
}

ULONG vrkras_copy_block(unsigned int block, UCHAR *out, ULONG size)
{
    ULONG length;
    if (block > VRKRAS_BLOCK_CALLERS) return 0;
    length = block == VRKRAS_BLOCK_MSN_EAZ ? vrkras_memory.msn_eaz_length : vrkras_memory.callers_length;
    if (length > size) length = size;
    RtlCopyMemory(out, blocks[block], length);
    return length;
}

BOOLEAN vrkras_configure(const vrkras_stream_config *config)
{
    stream *s;
    if (config->stream > VRKRAS_STREAM_TRACE || config->chunk > VRKRAS_MAX_CHUNK) return FALSE;
    s = &streams[config->stream];
    s->config = *config;
    s->started = now();
    s->queued = s->taken = 0;
    RtlZeroMemory(&vrkras_memory.streams[config->stream], sizeof vrkras_memory.streams[0]);
    return TRUE;
}

BOOLEAN vrkras_push(unsigned int index, const UCHAR *bytes, ULONG length)
{
    stream *s;
    if (index > VRKRAS_STREAM_TRACE) return FALSE;
    s = &streams[index];
    if (s->taken == s->queued) s->taken = s->queued = 0;
    if (length > VRKRAS_QUEUE_SIZE - s->queued) return FALSE;
    RtlCopyMemory(s->queue + s->queued, bytes, length);
    s->queued += length;
    return TRUE;
}

BOOLEAN vrkras_set_limit(const vrkras_limit *limit)
{
    if (limit->stream > VRKRAS_STREAM_TRACE) return FALSE;
    streams[limit->stream].config.limit = limit->limit;
    return TRUE;
}

/* How much of the pattern the rate lets out by now. */
static unsigned long long rate_allowed(const stream *s)
{
    LONGLONG elapsed;
    if (!s->config.rate) return VRKRAS_UNLIMITED;
    elapsed = now() - s->started;
    return elapsed > 0 ? (unsigned long long)elapsed / 10000u * s->config.rate / 1000u : 0;
}

ULONG vrkras_stream_read(unsigned int index, UCHAR *out, ULONG size)
{
    stream *s = &streams[index];
    vrkras_stream_state *counters = &vrkras_memory.streams[index];
    ULONG n = vrkras_chunk_size(s->config.chunk, counters->chunks);
    ULONG i;

    if (vrkras_faults_now.overstate) n = size;
    if (n > size) n = size;
    switch (s->config.mode) {
    case VRKRAS_MODE_PATTERN:
        /* Only whole chunks, so that the chunking of a stream depends on nothing but its rule; the
           limit alone cuts the last one short. */
        if (counters->produced >= s->config.limit)
            n = 0;
        else if (counters->produced + n > s->config.limit)
            n = (ULONG)(s->config.limit - counters->produced);
        if (counters->produced + n > rate_allowed(s)) n = 0;
        for (i = 0; i < n; ++i)
            out[i] = (UCHAR)vrkras_pattern_byte(s->config.pattern, s->config.tag, counters->produced + i);
        break;
    case VRKRAS_MODE_QUEUE:
        if (n > s->queued - s->taken) n = s->queued - s->taken;
        RtlCopyMemory(out, s->queue + s->taken, n);
        s->taken += n;
        break;
    default:
        n = 0;
        break;
    }
    if (n == 0) {
        counters->empty_reads++;
        return 0;
    }
    counters->produced += n;
    counters->chunks++;
    return n + vrkras_faults_now.overstate;
}
