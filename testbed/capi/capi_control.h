/* Test-control interface of the substitute CAPI 2.0 driver; shared by the driver and testbed code
   only, never by the system. Plain C so that the driver can include it. */
#ifndef CAPI_CONTROL_H
#define CAPI_CONTROL_H

/* The driver makes one device per card key of SOFTWARE\CAPI20 that names a DeviceName, with that
   name as its DOS name, and a control device \Device\Capi20Ctl (DOS name Capi20Ctl) of its own. */
#define CAPI_CONTROL_NAME "Capi20Ctl"
#define CAPI_CONTROL_NAME_W L"Capi20Ctl"
#define CAPI_MAX_DEVICES 4u
#define CAPI_NAME_SIZE 64u
#define CAPI_MANUFACTURER_SIZE 64u

/* The CAPI requests the system makes of a card's device. */
#define CAPI_IOCTL_REGISTER     0x80012004u /* in: 8 bytes, four 16-bit words */
#define CAPI_IOCTL_RELEASE      0x80012008u /* no buffers */
#define CAPI_IOCTL_MANUFACTURER 0x80012014u /* out: the manufacturer text */

/* Control requests: METHOD_BUFFERED codes of device type FILE_DEVICE_UNKNOWN. */
#define CAPI_CTL_CODE(function) (0x00220000u | ((0x800u + (function)) << 2))
#define CAPI_CTL_CONFIGURE CAPI_CTL_CODE(1) /* in: capi_configure_request */
#define CAPI_CTL_STATE     CAPI_CTL_CODE(2) /* in: unsigned int device index; out: capi_device_state */
#define CAPI_CTL_RESET     CAPI_CTL_CODE(3) /* every device back to its defaults, counters kept */

/* What a device refuses: its create, its controls, the messages written or read. */
#define CAPI_FAIL_CREATE       0x01u /* no DOS name while set: opening fails with ERROR_FILE_NOT_FOUND */
#define CAPI_FAIL_REGISTER     0x02u /* STATUS_DEVICE_NOT_READY: ERROR_NOT_READY */
#define CAPI_FAIL_RELEASE      0x04u
#define CAPI_FAIL_MANUFACTURER 0x08u
#define CAPI_FAIL_WRITE        0x10u
#define CAPI_FAIL_READ         0x20u
#define CAPI_HOLD_READ         0x40u /* a read stays pending until it is cancelled or the handle closes */

/* How a device answers. The confirmation of a parameter query is read as reply_length bytes: the
   length word says reply_length, then application id 1, command, subcommand, the query's message
   number, 8 reserved bytes, the query's controller and 2, two zero words, flags (offset 22), info
   (offset 24), protocol (offset 26) and a zero word; bytes past 30 are 0. */
typedef struct capi_device_config {
    unsigned int faults;
    unsigned int reply_length;
    unsigned int command;
    unsigned int subcommand;
    unsigned int flags;
    unsigned int info;
    unsigned int protocol;
    unsigned int reserved;
    char manufacturer[CAPI_MANUFACTURER_SIZE]; /* the manufacturer control's answer, with its NUL */
} capi_device_config;

typedef struct capi_configure_request {
    unsigned int device; /* index in the order the driver made the devices */
    unsigned int reserved;
    capi_device_config config;
} capi_configure_request;

typedef struct capi_device_state {
    char name[CAPI_NAME_SIZE];
    unsigned int opens;          /* creates that succeeded */
    unsigned int closes;
    unsigned int open_now;
    unsigned int open_most;      /* the most handles open at one time */
    unsigned int registered_now; /* open handles with an application registered */
    unsigned int pending_reads;
    unsigned int bad_requests;   /* wrong input, unknown control, message without registration */
    unsigned int reserved;
    capi_device_config config;
} capi_device_state;

#endif
