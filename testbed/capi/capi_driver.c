/* Substitute CAPI 2.0 driver: one buffered device per card of SOFTWARE\CAPI20 answering register,
   release and manufacturer controls and the parameter messages written and read through it, and a
   control device beside them. Every request goes into the testbed's journal with its bytes. */
#include <ntddk.h>

#include "capi_control.h"

/* On x86_64 the DDK header turns this into a read of the kernel's shared page, which a driver
   hosted in winedevice.exe cannot see; the exported function works everywhere. */
#undef KeQueryTickCount
NTKERNELAPI VOID NTAPI KeQueryTickCount(PLARGE_INTEGER count);

#define POOL_TAG 0x69706143u /* "Capi" in memory */
#define CAPI_DEVICE_TYPE 0x8001u
#define JOURNAL_LINE_SIZE 1024u

typedef struct handle_record {
    unsigned int device;
    BOOLEAN registered;
    BOOLEAN confirmation_queued;
    UCHAR query[30];   /* the query a confirmation answers */
    PIRP pending_read;
} handle_record;

typedef struct device_slot {
    PDEVICE_OBJECT device;
    WCHAR device_path[CAPI_NAME_SIZE + 16];
    WCHAR dos_name[CAPI_NAME_SIZE + 16];
    BOOLEAN link_made;
    char default_manufacturer[CAPI_MANUFACTURER_SIZE];
    capi_device_state state;
} device_slot;

static FAST_MUTEX lock;
static device_slot slots[CAPI_MAX_DEVICES];
static unsigned int slot_count;
static PDEVICE_OBJECT control_device;
static BOOLEAN control_link_made;

/* ---- text helpers: the kernel has no C runtime ---- */

static void put_text(char *out, unsigned int size, unsigned int *used, const char *text)
{
    while (*text && *used + 1 < size) out[(*used)++] = *text++;
    out[*used] = 0;
}

static void put_number(char *out, unsigned int size, unsigned int *used, unsigned long long value)
{
    char digits[24];
    unsigned int n = 0;
    do {
        digits[n++] = (char)('0' + value % 10);
        value /= 10;
    } while (value && n < sizeof digits);
    while (n && *used + 1 < size) out[(*used)++] = digits[--n];
    out[*used] = 0;
}

static void put_hex(char *out, unsigned int size, unsigned int *used, const UCHAR *bytes, ULONG length)
{
    static const char hex[] = "0123456789ABCDEF";
    ULONG i;
    if (!length) {
        put_text(out, size, used, "-");
        return;
    }
    for (i = 0; i < length && *used + 2 < size; ++i) {
        out[(*used)++] = hex[bytes[i] >> 4];
        out[(*used)++] = hex[bytes[i] & 15];
    }
    out[*used] = 0;
}

/* One journal line "tick TAB pid TAB capi TAB what TAB device result bytes open=n", appended in one
   write; a journal that cannot be written is passed over. */
static void journal(const char *what, unsigned int device, const char *result, const UCHAR *bytes, ULONG length)
{
    static WCHAR path[] = L"\\??\\C:\\testbed\\journal.txt";
    char *line = (char *)ExAllocatePoolWithTag(PagedPool, JOURNAL_LINE_SIZE, POOL_TAG);
    unsigned int used = 0;
    LARGE_INTEGER tick, offset;
    UNICODE_STRING name;
    OBJECT_ATTRIBUTES attributes;
    IO_STATUS_BLOCK io;
    HANDLE file;

    if (!line) return;
    line[0] = 0;
    KeQueryTickCount(&tick);
    put_number(line, JOURNAL_LINE_SIZE, &used, (unsigned long long)(ULONG)tick.QuadPart);
    put_text(line, JOURNAL_LINE_SIZE, &used, "\t");
    put_number(line, JOURNAL_LINE_SIZE, &used, (unsigned long long)(ULONG_PTR)PsGetCurrentProcessId());
    put_text(line, JOURNAL_LINE_SIZE, &used, "\tcapi\t");
    put_text(line, JOURNAL_LINE_SIZE, &used, what);
    put_text(line, JOURNAL_LINE_SIZE, &used, "\t");
    put_text(line, JOURNAL_LINE_SIZE, &used, device < slot_count ? slots[device].state.name : "control");
    put_text(line, JOURNAL_LINE_SIZE, &used, " ");
    put_text(line, JOURNAL_LINE_SIZE, &used, result);
    put_text(line, JOURNAL_LINE_SIZE, &used, " ");
    put_hex(line, JOURNAL_LINE_SIZE, &used, bytes, length);
    put_text(line, JOURNAL_LINE_SIZE, &used, " open=");
    put_number(line, JOURNAL_LINE_SIZE, &used, device < slot_count ? slots[device].state.open_now : 0);
    put_text(line, JOURNAL_LINE_SIZE, &used, "\r\n");

    RtlInitUnicodeString(&name, path);
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (NT_SUCCESS(ZwCreateFile(&file, FILE_APPEND_DATA | SYNCHRONIZE, &attributes, &io, NULL, FILE_ATTRIBUTE_NORMAL,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_OPEN_IF,
                                FILE_SYNCHRONOUS_IO_NONALERT | FILE_NON_DIRECTORY_FILE, NULL, 0))) {
        offset.HighPart = -1;
        offset.LowPart = FILE_WRITE_TO_END_OF_FILE;
        ZwWriteFile(file, NULL, NULL, NULL, &io, line, used, &offset, NULL);
        ZwClose(file);
    }
    ExFreePoolWithTag(line, POOL_TAG);
}

static unsigned int word_at(const UCHAR *p) { return (unsigned int)p[0] | ((unsigned int)p[1] << 8); }

static void put_word(UCHAR *p, unsigned int v)
{
    p[0] = (UCHAR)v;
    p[1] = (UCHAR)(v >> 8);
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static void default_config(device_slot *slot)
{
    capi_device_config *c = &slot->state.config;
    RtlZeroMemory(c, sizeof *c);
    c->reply_length = 30;
    c->command = 0x18;
    c->subcommand = 0x01;
    RtlCopyMemory(c->manufacturer, slot->default_manufacturer, CAPI_MANUFACTURER_SIZE);
}

static unsigned int slot_of(PDEVICE_OBJECT device)
{
    unsigned int i;
    for (i = 0; i < slot_count; ++i)
        if (slots[i].device == device) return i;
    return CAPI_MAX_DEVICES;
}

/* ---- a card's device ---- */

static NTSTATUS card_create(unsigned int index, PIRP irp, PIO_STACK_LOCATION stack)
{
    device_slot *slot = &slots[index];
    handle_record *record;

    ExAcquireFastMutex(&lock);
    record = (handle_record *)ExAllocatePoolWithTag(NonPagedPool, sizeof *record, POOL_TAG);
    if (!record) {
        ExReleaseFastMutex(&lock);
        return complete(irp, STATUS_INSUFFICIENT_RESOURCES, 0);
    }
    RtlZeroMemory(record, sizeof *record);
    record->device = index;
    stack->FileObject->FsContext = record;
    slot->state.opens++;
    if (++slot->state.open_now > slot->state.open_most) slot->state.open_most = slot->state.open_now;
    journal("create", index, "ok", NULL, 0);
    ExReleaseFastMutex(&lock);
    return complete(irp, STATUS_SUCCESS, 0);
}

/* Takes the pending read off its handle; NULL when there is none or its cancellation has begun. */
static PIRP take_pending_read(handle_record *record)
{
    PIRP irp = record->pending_read;
    if (!irp) return NULL;
    record->pending_read = NULL;
    slots[record->device].state.pending_reads--;
    if (!IoSetCancelRoutine(irp, NULL)) return NULL;
    return irp;
}

static void NTAPI cancel_read(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    handle_record *record = (handle_record *)stack->FileObject->FsContext;
    (void)device;
    IoReleaseCancelSpinLock(irp->CancelIrql);
    ExAcquireFastMutex(&lock);
    if (record && record->pending_read == irp) {
        record->pending_read = NULL;
        slots[record->device].state.pending_reads--;
    }
    if (record) journal("read", record->device, "cancelled", NULL, 0);
    ExReleaseFastMutex(&lock);
    complete(irp, STATUS_CANCELLED, 0);
}

static NTSTATUS card_cleanup(PIRP irp, PIO_STACK_LOCATION stack)
{
    handle_record *record = (handle_record *)stack->FileObject->FsContext;
    PIRP pending = NULL;
    if (record) {
        ExAcquireFastMutex(&lock);
        pending = take_pending_read(record);
        if (pending) journal("read", record->device, "cancelled", NULL, 0);
        ExReleaseFastMutex(&lock);
    }
    if (pending) complete(pending, STATUS_CANCELLED, 0);
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS card_close(PIRP irp, PIO_STACK_LOCATION stack)
{
    handle_record *record = (handle_record *)stack->FileObject->FsContext;
    if (record) {
        device_slot *slot = &slots[record->device];
        ExAcquireFastMutex(&lock);
        slot->state.closes++;
        if (slot->state.open_now) slot->state.open_now--;
        if (record->registered && slot->state.registered_now) slot->state.registered_now--;
        journal("close", record->device, "ok", NULL, 0);
        ExReleaseFastMutex(&lock);
        stack->FileObject->FsContext = NULL;
        ExFreePoolWithTag(record, POOL_TAG);
    }
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS card_control(PIRP irp, PIO_STACK_LOCATION stack)
{
    static const UCHAR expected_register[8] = {0x00, 0x04, 0x02, 0x00, 0x08, 0x00, 0x80, 0x00};
    handle_record *record = (handle_record *)stack->FileObject->FsContext;
    device_slot *slot = &slots[record->device];
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG in_length = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG out_length = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR *buffer = (UCHAR *)irp->AssociatedIrp.SystemBuffer;
    NTSTATUS status = STATUS_SUCCESS;
    ULONG_PTR information = 0;
    const char *what = "control";
    const char *result = "ok";
    const UCHAR *shown = NULL;
    ULONG shown_length = 0;

    ExAcquireFastMutex(&lock);
    switch (code) {
    case CAPI_IOCTL_REGISTER:
        what = "register";
        shown = buffer;
        shown_length = buffer ? in_length : 0;
        if (slot->state.config.faults & CAPI_FAIL_REGISTER) {
            status = STATUS_DEVICE_NOT_READY;
        } else if (in_length != sizeof expected_register || !buffer ||
                   RtlCompareMemory(buffer, expected_register, sizeof expected_register) != sizeof expected_register ||
                   record->registered) {
            status = STATUS_INVALID_PARAMETER;
        } else {
            record->registered = TRUE;
            slot->state.registered_now++;
        }
        break;
    case CAPI_IOCTL_RELEASE:
        what = "release";
        if (slot->state.config.faults & CAPI_FAIL_RELEASE) {
            status = STATUS_DEVICE_NOT_READY;
        } else if (!record->registered || in_length || out_length) {
            status = STATUS_INVALID_PARAMETER;
        } else {
            record->registered = FALSE;
            record->confirmation_queued = FALSE;
            slot->state.registered_now--;
        }
        break;
    case CAPI_IOCTL_MANUFACTURER:
        what = "manufacturer";
        if (slot->state.config.faults & CAPI_FAIL_MANUFACTURER) {
            status = STATUS_DEVICE_NOT_READY;
        } else if (!buffer || !out_length) {
            status = STATUS_INVALID_PARAMETER;
        } else {
            ULONG n = 0;
            while (n + 1 < CAPI_MANUFACTURER_SIZE && slot->state.config.manufacturer[n]) ++n;
            ++n; /* the NUL */
            if (n > out_length) n = out_length;
            RtlCopyMemory(buffer, slot->state.config.manufacturer, n);
            information = n;
            shown = buffer;
            shown_length = n;
        }
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    if (status == STATUS_INVALID_PARAMETER || status == STATUS_INVALID_DEVICE_REQUEST) slot->state.bad_requests++;
    if (!NT_SUCCESS(status)) result = status == STATUS_DEVICE_NOT_READY ? "failed" : "refused";
    journal(what, record->device, result, shown, shown_length);
    ExReleaseFastMutex(&lock);
    return complete(irp, status, information);
}

/* A parameter query (command 0x18, request, word 18 zero) queues its confirmation; a set request
   (word 18 four) is taken as it is. */
static NTSTATUS card_write(PIRP irp, PIO_STACK_LOCATION stack)
{
    handle_record *record = (handle_record *)stack->FileObject->FsContext;
    device_slot *slot = &slots[record->device];
    const ULONG length = stack->Parameters.Write.Length;
    const UCHAR *bytes = (const UCHAR *)irp->AssociatedIrp.SystemBuffer;
    NTSTATUS status = STATUS_SUCCESS;

    ExAcquireFastMutex(&lock);
    if (slot->state.config.faults & CAPI_FAIL_WRITE) {
        status = STATUS_DEVICE_NOT_READY;
    } else if (!record->registered || !bytes || length < 26 || word_at(bytes) != 26 || bytes[4] != 0x18 ||
               bytes[5] != 0x00) {
        status = STATUS_INVALID_PARAMETER;
        slot->state.bad_requests++;
    } else if (word_at(bytes + 18) == 0) {
        record->confirmation_queued = TRUE;
        RtlZeroMemory(record->query, sizeof record->query);
        RtlCopyMemory(record->query, bytes, length < sizeof record->query ? length : sizeof record->query);
    }
    journal("write", record->device,
            NT_SUCCESS(status) ? "ok" : status == STATUS_DEVICE_NOT_READY ? "failed" : "refused", bytes,
            bytes ? length : 0);
    ExReleaseFastMutex(&lock);
    return complete(irp, status, NT_SUCCESS(status) ? length : 0);
}

static ULONG fill_confirmation(const capi_device_config *config, const UCHAR *query, UCHAR *out, ULONG size)
{
    UCHAR message[192];
    ULONG n = config->reply_length < sizeof message ? config->reply_length : sizeof message;
    RtlZeroMemory(message, sizeof message);
    put_word(message, config->reply_length);
    put_word(message + 2, 1);
    message[4] = (UCHAR)config->command;
    message[5] = (UCHAR)config->subcommand;
    message[6] = query[6];
    message[7] = query[7];
    message[16] = query[16];
    message[17] = 2;
    put_word(message + 22, config->flags);
    put_word(message + 24, config->info);
    put_word(message + 26, config->protocol);
    if (n > size) n = size;
    RtlCopyMemory(out, message, n);
    return n;
}

static NTSTATUS card_read(PIRP irp, PIO_STACK_LOCATION stack)
{
    handle_record *record = (handle_record *)stack->FileObject->FsContext;
    device_slot *slot = &slots[record->device];
    const ULONG size = stack->Parameters.Read.Length;
    UCHAR *out = (UCHAR *)irp->AssociatedIrp.SystemBuffer;
    ULONG n = 0;
    NTSTATUS status = STATUS_SUCCESS;

    ExAcquireFastMutex(&lock);
    if (slot->state.config.faults & CAPI_HOLD_READ) {
        if (record->pending_read) {
            status = STATUS_INVALID_DEVICE_STATE;
        } else {
            IoMarkIrpPending(irp);
            record->pending_read = irp;
            slot->state.pending_reads++;
            IoSetCancelRoutine(irp, cancel_read);
            if (irp->Cancel && IoSetCancelRoutine(irp, NULL)) {
                record->pending_read = NULL;
                slot->state.pending_reads--;
                journal("read", record->device, "cancelled", NULL, 0);
                ExReleaseFastMutex(&lock);
                complete(irp, STATUS_CANCELLED, 0);
                return STATUS_PENDING;
            }
            journal("read", record->device, "pending", NULL, 0);
            ExReleaseFastMutex(&lock);
            return STATUS_PENDING;
        }
    } else if (slot->state.config.faults & CAPI_FAIL_READ) {
        status = STATUS_DEVICE_NOT_READY;
    } else if (!record->registered || !out) {
        status = STATUS_INVALID_PARAMETER;
        slot->state.bad_requests++;
    } else if (record->confirmation_queued) {
        record->confirmation_queued = FALSE;
        n = fill_confirmation(&slot->state.config, record->query, out, size);
    }
    journal("read", record->device,
            NT_SUCCESS(status) ? "ok" : status == STATUS_DEVICE_NOT_READY ? "failed" : "refused", out, n);
    ExReleaseFastMutex(&lock);
    return complete(irp, status, n);
}

/* ---- the control device ---- */

/* Wine 8 hands out the handle whatever status the create ends with, so a device that refuses to
   be opened takes its DOS name away: opening it then fails as for a device that is not there. */
static void follow_create_fault(device_slot *slot, BOOLEAN refuse)
{
    UNICODE_STRING name, link;
    RtlInitUnicodeString(&link, slot->dos_name);
    if (refuse && slot->link_made) {
        IoDeleteSymbolicLink(&link);
        slot->link_made = FALSE;
    } else if (!refuse && !slot->link_made) {
        RtlInitUnicodeString(&name, slot->device_path);
        slot->link_made = NT_SUCCESS(IoCreateSymbolicLink(&link, &name));
    }
}

static NTSTATUS control_request(PIRP irp, PIO_STACK_LOCATION stack)
{
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG in_length = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG out_length = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR *buffer = (UCHAR *)irp->AssociatedIrp.SystemBuffer;
    ULONG_PTR information = 0;
    NTSTATUS status = STATUS_SUCCESS;
    unsigned int i;

    ExAcquireFastMutex(&lock);
    switch (code) {
    case CAPI_CTL_CONFIGURE: {
        const capi_configure_request *request = (const capi_configure_request *)buffer;
        if (in_length < sizeof *request || request->device >= slot_count) {
            status = STATUS_INVALID_PARAMETER;
        } else {
            slots[request->device].state.config = request->config;
            slots[request->device].state.config.manufacturer[CAPI_MANUFACTURER_SIZE - 1] = 0;
            follow_create_fault(&slots[request->device], (request->config.faults & CAPI_FAIL_CREATE) != 0);
        }
        break;
    }
    case CAPI_CTL_STATE: {
        unsigned int index;
        if (in_length < sizeof index || out_length < sizeof(capi_device_state)) {
            status = STATUS_BUFFER_TOO_SMALL;
            break;
        }
        RtlCopyMemory(&index, buffer, sizeof index);
        if (index >= slot_count) {
            status = STATUS_NO_SUCH_DEVICE;
            break;
        }
        RtlCopyMemory(buffer, &slots[index].state, sizeof(capi_device_state));
        information = sizeof(capi_device_state);
        break;
    }
    case CAPI_CTL_RESET:
        for (i = 0; i < slot_count; ++i) {
            default_config(&slots[i]);
            follow_create_fault(&slots[i], FALSE);
        }
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    ExReleaseFastMutex(&lock);
    return complete(irp, status, information);
}

/* ---- dispatch ---- */

static NTSTATUS NTAPI dispatch(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    const unsigned int index = slot_of(device);

    if (device == control_device) {
        if (stack->MajorFunction == IRP_MJ_DEVICE_CONTROL) return control_request(irp, stack);
        return complete(irp, STATUS_SUCCESS, 0);
    }
    if (index >= slot_count) return complete(irp, STATUS_NO_SUCH_DEVICE, 0);
    switch (stack->MajorFunction) {
    case IRP_MJ_CREATE: return card_create(index, irp, stack);
    case IRP_MJ_CLEANUP: return card_cleanup(irp, stack);
    case IRP_MJ_CLOSE: return card_close(irp, stack);
    }
    if (!stack->FileObject || !stack->FileObject->FsContext) return complete(irp, STATUS_INVALID_HANDLE, 0);
    switch (stack->MajorFunction) {
    case IRP_MJ_DEVICE_CONTROL: return card_control(irp, stack);
    case IRP_MJ_WRITE: return card_write(irp, stack);
    case IRP_MJ_READ: return card_read(irp, stack);
    }
    return complete(irp, STATUS_INVALID_DEVICE_REQUEST, 0);
}

/* ---- start and end ---- */

static void append_wide(WCHAR *out, unsigned int size, const WCHAR *text, unsigned int length)
{
    unsigned int n = 0, i;
    while (n + 1 < size && out[n]) ++n;
    for (i = 0; i < length && text[i] && n + 1 < size; ++i) out[n++] = text[i];
    out[n] = 0;
}

/* A REG_SZ of a card key as Unicode text; FALSE when it is missing, not text or too long. */
static BOOLEAN read_text(HANDLE key, const WCHAR *name, WCHAR *out, unsigned int size)
{
    union {
        KEY_VALUE_PARTIAL_INFORMATION info;
        UCHAR bytes[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 512];
    } value;
    UNICODE_STRING value_name;
    ULONG got = 0;
    unsigned int length;

    RtlInitUnicodeString(&value_name, name);
    if (!NT_SUCCESS(ZwQueryValueKey(key, &value_name, KeyValuePartialInformation, &value, sizeof value, &got)) ||
        value.info.Type != REG_SZ)
        return FALSE;
    length = value.info.DataLength / sizeof(WCHAR);
    while (length && ((const WCHAR *)value.info.Data)[length - 1] == 0) --length;
    if (length + 1 > size) return FALSE;
    RtlCopyMemory(out, value.info.Data, length * sizeof(WCHAR));
    out[length] = 0;
    return TRUE;
}

static void narrow(char *out, unsigned int size, const WCHAR *text)
{
    unsigned int n = 0;
    while (text[n] && n + 1 < size) {
        out[n] = text[n] < 0x100 ? (char)text[n] : '?';
        ++n;
    }
    out[n] = 0;
}

static void remove_devices(void)
{
    UNICODE_STRING name;
    unsigned int i;
    for (i = 0; i < slot_count; ++i) {
        if (slots[i].link_made) {
            RtlInitUnicodeString(&name, slots[i].dos_name);
            IoDeleteSymbolicLink(&name);
        }
        if (slots[i].device) IoDeleteDevice(slots[i].device);
    }
    slot_count = 0;
    if (control_link_made) {
        RtlInitUnicodeString(&name, L"\\DosDevices\\" CAPI_CONTROL_NAME_W);
        IoDeleteSymbolicLink(&name);
        control_link_made = FALSE;
    }
    if (control_device) IoDeleteDevice(control_device);
    control_device = NULL;
}

static void make_card_device(PDRIVER_OBJECT driver, const WCHAR *device_name, const WCHAR *manufacturer)
{
    device_slot *slot = &slots[slot_count];
    UNICODE_STRING name, link;

    RtlZeroMemory(slot, sizeof *slot);
    append_wide(slot->device_path, CAPI_NAME_SIZE + 16, L"\\Device\\", 8);
    append_wide(slot->device_path, CAPI_NAME_SIZE + 16, device_name, CAPI_NAME_SIZE);
    RtlInitUnicodeString(&name, slot->device_path);
    if (!NT_SUCCESS(IoCreateDevice(driver, 0, &name, CAPI_DEVICE_TYPE, 0, FALSE, &slot->device))) {
        slot->device = NULL;
        return;
    }
    slot->device->Flags |= DO_BUFFERED_IO;
    slot->device->Flags &= ~DO_DEVICE_INITIALIZING;
    append_wide(slot->dos_name, CAPI_NAME_SIZE + 16, L"\\DosDevices\\", 12);
    append_wide(slot->dos_name, CAPI_NAME_SIZE + 16, device_name, CAPI_NAME_SIZE);
    RtlInitUnicodeString(&link, slot->dos_name);
    slot->link_made = NT_SUCCESS(IoCreateSymbolicLink(&link, &name));
    narrow(slot->state.name, CAPI_NAME_SIZE, device_name);
    narrow(slot->default_manufacturer, CAPI_MANUFACTURER_SIZE, manufacturer);
    default_config(slot);
    ++slot_count;
}

/* One device per card key, in enumeration order, for the cards that name a DeviceName. */
static void make_card_devices(PDRIVER_OBJECT driver)
{
    UNICODE_STRING root_name;
    OBJECT_ATTRIBUTES attributes;
    HANDLE root;
    ULONG index;

    RtlInitUnicodeString(&root_name, L"\\Registry\\Machine\\SOFTWARE\\CAPI20");
    InitializeObjectAttributes(&attributes, &root_name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&root, KEY_READ, &attributes))) return;
    for (index = 0; slot_count < CAPI_MAX_DEVICES; ++index) {
        union {
            KEY_BASIC_INFORMATION info;
            UCHAR bytes[sizeof(KEY_BASIC_INFORMATION) + 512];
        } key_info;
        UNICODE_STRING card_name;
        HANDLE card;
        ULONG got = 0;
        WCHAR device_name[CAPI_NAME_SIZE], manufacturer[CAPI_MANUFACTURER_SIZE * 2];

        if (!NT_SUCCESS(ZwEnumerateKey(root, index, KeyBasicInformation, &key_info, sizeof key_info, &got))) break;
        card_name.Buffer = key_info.info.Name;
        card_name.Length = card_name.MaximumLength = (USHORT)key_info.info.NameLength;
        InitializeObjectAttributes(&attributes, &card_name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, root, NULL);
        if (!NT_SUCCESS(ZwOpenKey(&card, KEY_READ, &attributes))) continue;
        if (read_text(card, L"DeviceName", device_name, CAPI_NAME_SIZE)) {
            if (!read_text(card, L"Manufacturer", manufacturer, CAPI_MANUFACTURER_SIZE * 2)) manufacturer[0] = 0;
            make_card_device(driver, device_name, manufacturer);
        }
        ZwClose(card);
    }
    ZwClose(root);
}

static void NTAPI driver_unload(PDRIVER_OBJECT driver)
{
    (void)driver;
    remove_devices();
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path)
{
    UNICODE_STRING name, link;
    NTSTATUS status;
    (void)registry_path;

    ExInitializeFastMutex(&lock);
    make_card_devices(driver);
    RtlInitUnicodeString(&name, L"\\Device\\" CAPI_CONTROL_NAME_W);
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &control_device);
    if (!NT_SUCCESS(status)) {
        control_device = NULL;
        remove_devices();
        return status;
    }
    RtlInitUnicodeString(&link, L"\\DosDevices\\" CAPI_CONTROL_NAME_W);
    control_link_made = NT_SUCCESS(IoCreateSymbolicLink(&link, &name));
    driver->MajorFunction[IRP_MJ_CREATE] = dispatch;
    driver->MajorFunction[IRP_MJ_CLEANUP] = dispatch;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatch;
    driver->MajorFunction[IRP_MJ_READ] = dispatch;
    driver->MajorFunction[IRP_MJ_WRITE] = dispatch;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch;
    driver->DriverUnload = driver_unload;
    return STATUS_SUCCESS;
}
