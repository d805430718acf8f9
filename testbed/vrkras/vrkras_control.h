/* Test-control interface of the substitute VrkRas driver and the text patterns it streams; shared by
   the driver and testbed code only, never by the system. Plain C so that the driver can include it. */
#ifndef VRKRAS_CONTROL_H
#define VRKRAS_CONTROL_H

/* The control device sits beside the system's \Device\VrkRas<n> as \Device\VrkRasCtl<n>, with the
   DOS name VrkRasCtl<n>. Its requests are METHOD_BUFFERED codes of device type FILE_DEVICE_UNKNOWN. */
#define VRKRAS_CTL_CODE(function) (0x00220000u | ((0x800u + (function)) << 2))
#define VRKRAS_CTL_STREAM VRKRAS_CTL_CODE(1) /* in: vrkras_stream_config; resets the stream */
#define VRKRAS_CTL_PUSH   VRKRAS_CTL_CODE(2) /* in: unsigned int stream, then the bytes to queue */
#define VRKRAS_CTL_LIMIT  VRKRAS_CTL_CODE(3) /* in: vrkras_limit; moves the limit, keeps the offset */
#define VRKRAS_CTL_STATE  VRKRAS_CTL_CODE(4) /* out: vrkras_state */
#define VRKRAS_CTL_BLOCK  VRKRAS_CTL_CODE(5) /* in: unsigned int block; out: the block's bytes */
#define VRKRAS_CTL_FAULTS VRKRAS_CTL_CODE(6) /* in: vrkras_faults */
#define VRKRAS_CTL_RESET  VRKRAS_CTL_CODE(7) /* forgets levels, tables, flags and counters */
#define VRKRAS_CTL_LEVELS VRKRAS_CTL_CODE(8) /* in: vrkras_levels; the levels as if the driver had them
                                                 from elsewhere, no request counted */

/* The two streams; the system reads the log with selector 16 and the trace with selector 17. */
#define VRKRAS_STREAM_LOG   0u
#define VRKRAS_STREAM_TRACE 1u

#define VRKRAS_MODE_OFF     0u /* every read yields 0 bytes */
#define VRKRAS_MODE_PATTERN 1u /* an endless pattern, handed out in whole chunks */
#define VRKRAS_MODE_QUEUE   2u /* bytes pushed by the test, handed out once */

#define VRKRAS_PATTERN_LINES 1u /* 40-byte records ending in LF */
#define VRKRAS_PATTERN_NOLF  2u /* 40-byte records without any line feed */
#define VRKRAS_PATTERN_CRLF  3u /* 40-byte records ending in CR LF */
#define VRKRAS_PATTERN_RING  4u /* 42-byte RING: ... FROM= ... TO= records ending in LF */
#define VRKRAS_PATTERN_LONG  5u /* 600-byte records ending in LF, longer than any chunk */

#define VRKRAS_UNLIMITED 0xFFFFFFFFFFFFFFFFull
#define VRKRAS_CHUNK_CYCLE 0u /* chunk sizes 1, 2, ..., 256, 1, 2, ... */
#define VRKRAS_MAX_CHUNK 256u
#define VRKRAS_QUEUE_SIZE 65536u
#define VRKRAS_MAX_BLOCK 16384u

#define VRKRAS_BLOCK_MSN_EAZ 0u
#define VRKRAS_BLOCK_CALLERS 1u

#define VRKRAS_SELECTORS 32u

typedef struct vrkras_stream_config {
    unsigned int stream;
    unsigned int mode;
    unsigned int pattern;
    unsigned int tag;        /* first byte of every record: tells streams and driver runs apart */
    unsigned int chunk;      /* fixed chunk size 1..256, or VRKRAS_CHUNK_CYCLE */
    unsigned int rate;       /* bytes per second the pattern becomes available at; 0: no rate */
    unsigned long long limit; /* bytes of the pattern handed out in all; the last chunk ends at it */
} vrkras_stream_config;

typedef struct vrkras_limit {
    unsigned int stream;
    unsigned int reserved;
    unsigned long long limit;
} vrkras_limit;

typedef struct vrkras_levels {
    unsigned int trace_level;
    unsigned int log_level;
} vrkras_levels;

typedef struct vrkras_faults {
    unsigned int refuse_selectors;  /* bit s set: requests with selector s fail */
    unsigned int overstate;         /* text reads fill the buffer and report this many bytes more */
    unsigned int silent_values;     /* value requests succeed without a reply: 0 bytes, buffer untouched */
    unsigned int reserved;
} vrkras_faults;

typedef struct vrkras_stream_state {
    unsigned long long produced; /* bytes handed out by reads */
    unsigned int chunks;         /* reads that handed out text */
    unsigned int empty_reads;    /* reads that found nothing to hand out */
    unsigned int queued;         /* bytes waiting in the queue */
    unsigned int reserved;
} vrkras_stream_state;

typedef struct vrkras_state {
    unsigned int adapter;
    unsigned int trace_level;
    unsigned int log_level;
    unsigned int inbound;
    unsigned int outbound;
    unsigned int incall_flags;
    unsigned int msn_eaz_length;
    unsigned int callers_length;
    unsigned int opens;          /* IRP_MJ_CREATE of the system's device */
    unsigned int closes;
    unsigned int open_now;
    unsigned int open_most;      /* the most handles open at one time */
    unsigned int bad_requests;   /* wrong control code, request code or buffer */
    unsigned int last_input_length;
    unsigned int requests[VRKRAS_SELECTORS];       /* requests seen per selector */
    unsigned int last_length[VRKRAS_SELECTORS];    /* output buffer length of the last one */
    unsigned int last_parameter[VRKRAS_SELECTORS];
    vrkras_stream_state streams[2];
} vrkras_state;

/* The patterns: byte k of a stream is a function of the pattern, the tag and k alone, so that a
   test can rebuild every byte the driver handed out. Every record begins with the tag and the
   record's number in eight hexadecimal digits. */
static inline unsigned int vrkras_record_length(unsigned int pattern)
{
    switch (pattern) {
    case VRKRAS_PATTERN_RING: return 42u;
    case VRKRAS_PATTERN_LONG: return 600u;
    default: return 40u;
    }
}

static inline char vrkras_hex_digit(unsigned long long value, unsigned int position)
{
    static const char digits[] = "0123456789ABCDEF";
    return digits[(value >> (4u * (7u - position))) & 15u];
}

static inline char vrkras_pattern_byte(unsigned int pattern, unsigned int tag, unsigned long long offset)
{
    const unsigned int length = vrkras_record_length(pattern);
    const unsigned long long record = offset / length;
    const unsigned int at = (unsigned int)(offset % length);
    if (at == 0) return (char)tag;
    if (at <= 8) return vrkras_hex_digit(record, at - 1);
    if (at == 9) return ' ';
    if (pattern == VRKRAS_PATTERN_RING) {
        /* "RING: FROM=0301dddddddd TO=4711\n", the number taken from the record number */
        static const char head[] = "RING: FROM=0301";
        static const char tail[] = " TO=4711\n";
        if (at < 10 + 15) return head[at - 10];
        if (at < 10 + 15 + 8) {
            unsigned long long v = record;
            unsigned int i;
            for (i = 0; i < 10 + 15 + 7 - at; ++i) v /= 10;
            return (char)('0' + v % 10);
        }
        return tail[at - (10 + 15 + 8)];
    }
    if (at == length - 1) {
        if (pattern == VRKRAS_PATTERN_NOLF) return '|';
        return '\n';
    }
    if (at == length - 2 && pattern == VRKRAS_PATTERN_CRLF) return '\r';
    return (char)('a' + (record + at) % 26);
}

/* Size of the chunk with the given number under a chunk rule. */
static inline unsigned int vrkras_chunk_size(unsigned int rule, unsigned long long number)
{
    if (rule != VRKRAS_CHUNK_CYCLE) return rule;
    return (unsigned int)(number % VRKRAS_MAX_CHUNK) + 1u;
}

#endif
