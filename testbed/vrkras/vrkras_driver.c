/* Substitute VrkRas driver: the system's device \Device\VrkRas<n> answering the driver control
   request, and the testbed's control device beside it. */
#include <ntddk.h>

#include "vrkras_state.h"

#define VRKRAS_REQUEST_CODE 0xFF010100u
#define VRKRAS_IOCTL 0x00170002u
#define VRKRAS_HEADER 12u

static PDEVICE_OBJECT system_device;
static PDEVICE_OBJECT control_device;
static WCHAR system_dos_name[32];
static WCHAR control_dos_name[32];
static BOOLEAN system_link_made;
static BOOLEAN control_link_made;

static void append_text(WCHAR *out, unsigned int size, const WCHAR *text)
{
    unsigned int n = 0;
    while (n + 1 < size && out[n]) ++n;
    while (n + 1 < size && *text) out[n++] = *text++;
    out[n] = 0;
}

static void append_number(WCHAR *out, unsigned int size, unsigned int value)
{
    WCHAR digits[12];
    unsigned int n = 0;
    do {
        digits[n++] = (WCHAR)(L'0' + value % 10);
        value /= 10;
    } while (value && n < 11);
    {
        WCHAR text[12];
        unsigned int i;
        for (i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
        text[n] = 0;
        append_text(out, size, text);
    }
}

static void make_name(WCHAR *out, unsigned int size, const WCHAR *root, const WCHAR *prefix, unsigned int adapter)
{
    out[0] = 0;
    append_text(out, size, root);
    append_text(out, size, prefix);
    append_number(out, size, adapter);
}

/* A REG_DWORD of the driver's Parameters key, or the default when it cannot be read. */
static ULONG read_parameter(PUNICODE_STRING registry_path, const WCHAR *name, ULONG fallback)
{
    WCHAR path[400];
    UNICODE_STRING key_name, value_name;
    OBJECT_ATTRIBUTES attributes;
    HANDLE key;
    union {
        KEY_VALUE_PARTIAL_INFORMATION info;
        UCHAR bytes[sizeof(KEY_VALUE_PARTIAL_INFORMATION) + 16];
    } value;
    ULONG got = 0;
    ULONG result = fallback;
    unsigned int n = registry_path->Length / sizeof(WCHAR);

    if (n > 300) return fallback;
    RtlCopyMemory(path, registry_path->Buffer, n * sizeof(WCHAR));
    path[n] = 0;
    append_text(path, 400, L"\\Parameters");
    RtlInitUnicodeString(&key_name, path);
    InitializeObjectAttributes(&attributes, &key_name, OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
    if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes))) return fallback;
    RtlInitUnicodeString(&value_name, name);
    if (NT_SUCCESS(ZwQueryValueKey(key, &value_name, KeyValuePartialInformation, &value, sizeof value, &got)) &&
        value.info.Type == REG_DWORD && value.info.DataLength == sizeof(ULONG))
        RtlCopyMemory(&result, value.info.Data, sizeof result);
    ZwClose(key);
    return result;
}

static NTSTATUS complete(PIRP irp, NTSTATUS status, ULONG_PTR information)
{
    irp->IoStatus.Status = status;
    irp->IoStatus.Information = information;
    IoCompleteRequest(irp, IO_NO_INCREMENT);
    return status;
}

static ULONG read_word(const UCHAR *p)
{
    return (ULONG)p[0] | ((ULONG)p[1] << 8) | ((ULONG)p[2] << 16) | ((ULONG)p[3] << 24);
}

static void write_word(UCHAR *p, ULONG v)
{
    p[0] = (UCHAR)v;
    p[1] = (UCHAR)(v >> 8);
    p[2] = (UCHAR)(v >> 16);
    p[3] = (UCHAR)(v >> 24);
}

static NTSTATUS system_request(PIRP irp, PIO_STACK_LOCATION stack)
{
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG out_length = stack->Parameters.DeviceIoControl.OutputBufferLength;
    const ULONG in_length = stack->Parameters.DeviceIoControl.InputBufferLength;
    const UCHAR *in = (const UCHAR *)irp->AssociatedIrp.SystemBuffer;
    UCHAR *out;
    ULONG selector, parameter, reply_length = 4, reply_value = 0;
    BOOLEAN text;
    NTSTATUS status = STATUS_SUCCESS;

    vrkras_lock();
    vrkras_memory.last_input_length = in_length;
    vrkras_unlock();
    if (code != VRKRAS_IOCTL || !irp->MdlAddress || out_length < VRKRAS_HEADER || in_length < 4 || !in ||
        read_word(in) != VRKRAS_REQUEST_CODE)
        goto bad;
    out = (UCHAR *)MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority);
    if (!out || read_word(out) != VRKRAS_REQUEST_CODE) goto bad;
    selector = read_word(out + 4);
    parameter = read_word(out + 8);

    vrkras_lock();
    if (selector < VRKRAS_SELECTORS) {
        vrkras_memory.requests[selector]++;
        vrkras_memory.last_length[selector] = out_length;
        vrkras_memory.last_parameter[selector] = parameter;
        if (vrkras_faults_now.refuse_selectors & (1u << selector)) status = STATUS_DEVICE_NOT_READY;
    }
    if (NT_SUCCESS(status)) {
        switch (selector) {
        case 0: vrkras_memory.trace_level = reply_value = parameter; break;
        case 1: reply_value = vrkras_memory.trace_level; break;
        case 2: vrkras_memory.inbound = reply_value = parameter; break;
        case 4: vrkras_memory.outbound = reply_value = parameter; break;
        case 10: vrkras_memory.log_level = reply_value = parameter; break;
        case 11: reply_value = vrkras_memory.log_level; break;
        case 14: vrkras_memory.incall_flags = reply_value = parameter; break;
        case 8:
        case 12:
            reply_value = vrkras_keep_block(selector == 8 ? VRKRAS_BLOCK_MSN_EAZ : VRKRAS_BLOCK_CALLERS,
                                            out + VRKRAS_HEADER, out_length - VRKRAS_HEADER);
            break;
        case 16:
        case 17:
            reply_length = vrkras_stream_read(selector == 16 ? VRKRAS_STREAM_LOG : VRKRAS_STREAM_TRACE, out,
                                              out_length);
            break;
        default:
            vrkras_memory.bad_requests++;
            status = STATUS_INVALID_PARAMETER;
            break;
        }
    }
    text = selector == 16 || selector == 17;
    if (!text && vrkras_faults_now.silent_values) reply_length = 0;
    vrkras_unlock();
    if (!NT_SUCCESS(status)) return complete(irp, status, 0);
    if (!text && reply_length) write_word(out, reply_value);
    return complete(irp, STATUS_SUCCESS, reply_length);

bad:
    vrkras_lock();
    vrkras_memory.bad_requests++;
    vrkras_unlock();
    return complete(irp, STATUS_INVALID_PARAMETER, 0);
}

static NTSTATUS control_request(PIRP irp, PIO_STACK_LOCATION stack)
{
    const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
    const ULONG in_length = stack->Parameters.DeviceIoControl.InputBufferLength;
    const ULONG out_length = stack->Parameters.DeviceIoControl.OutputBufferLength;
    UCHAR *buffer = (UCHAR *)irp->AssociatedIrp.SystemBuffer;
    ULONG_PTR information = 0;
    NTSTATUS status = STATUS_SUCCESS;

    vrkras_lock();
    switch (code) {
    case VRKRAS_CTL_STREAM:
        if (in_length < sizeof(vrkras_stream_config) || !vrkras_configure((const vrkras_stream_config *)buffer))
            status = STATUS_INVALID_PARAMETER;
        break;
    case VRKRAS_CTL_PUSH:
        if (in_length < sizeof(unsigned int) ||
            !vrkras_push(read_word(buffer), buffer + sizeof(unsigned int), in_length - sizeof(unsigned int)))
            status = STATUS_BUFFER_OVERFLOW;
        break;
    case VRKRAS_CTL_LIMIT:
        if (in_length < sizeof(vrkras_limit) || !vrkras_set_limit((const vrkras_limit *)buffer))
            status = STATUS_INVALID_PARAMETER;
        break;
    case VRKRAS_CTL_STATE:
        if (out_length < sizeof(vrkras_state)) {
            status = STATUS_BUFFER_TOO_SMALL;
        } else {
            vrkras_snapshot((vrkras_state *)buffer);
            information = sizeof(vrkras_state);
        }
        break;
    case VRKRAS_CTL_BLOCK:
        if (in_length < sizeof(unsigned int))
            status = STATUS_INVALID_PARAMETER;
        else
            information = vrkras_copy_block(read_word(buffer), buffer, out_length);
        break;
    case VRKRAS_CTL_FAULTS:
        if (in_length < sizeof(vrkras_faults))
            status = STATUS_INVALID_PARAMETER;
        else
            RtlCopyMemory(&vrkras_faults_now, buffer, sizeof vrkras_faults_now);
        break;
    case VRKRAS_CTL_RESET:
        vrkras_reset();
        break;
    case VRKRAS_CTL_LEVELS:
        if (in_length < sizeof(vrkras_levels)) {
            status = STATUS_INVALID_PARAMETER;
        } else {
            const vrkras_levels *levels = (const vrkras_levels *)buffer;
            vrkras_memory.trace_level = levels->trace_level;
            vrkras_memory.log_level = levels->log_level;
        }
        break;
    default:
        status = STATUS_INVALID_DEVICE_REQUEST;
        break;
    }
    vrkras_unlock();
    return complete(irp, status, information);
}

static NTSTATUS NTAPI dispatch_create(PDEVICE_OBJECT device, PIRP irp)
{
    if (device == system_device) {
        vrkras_lock();
        vrkras_memory.opens++;
        if (++vrkras_memory.open_now > vrkras_memory.open_most) vrkras_memory.open_most = vrkras_memory.open_now;
        vrkras_unlock();
    }
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatch_close(PDEVICE_OBJECT device, PIRP irp)
{
    if (device == system_device) {
        vrkras_lock();
        vrkras_memory.closes++;
        if (vrkras_memory.open_now) vrkras_memory.open_now--;
        vrkras_unlock();
    }
    return complete(irp, STATUS_SUCCESS, 0);
}

static NTSTATUS NTAPI dispatch_control(PDEVICE_OBJECT device, PIRP irp)
{
    PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
    if (device == system_device) return system_request(irp, stack);
    return control_request(irp, stack);
}

static void remove_devices(void)
{
    UNICODE_STRING name;
    if (system_link_made) {
        RtlInitUnicodeString(&name, system_dos_name);
        IoDeleteSymbolicLink(&name);
        system_link_made = FALSE;
    }
    if (control_link_made) {
        RtlInitUnicodeString(&name, control_dos_name);
        IoDeleteSymbolicLink(&name);
        control_link_made = FALSE;
    }
    if (system_device) IoDeleteDevice(system_device);
    if (control_device) IoDeleteDevice(control_device);
    system_device = control_device = NULL;
}

static void NTAPI driver_unload(PDRIVER_OBJECT driver)
{
    (void)driver;
    remove_devices();
    vrkras_release();
}

static NTSTATUS make_device(PDRIVER_OBJECT driver, const WCHAR *prefix, unsigned int adapter,
                            PDEVICE_OBJECT *device, WCHAR *dos_name, BOOLEAN *link_made)
{
    WCHAR device_name[32];
    UNICODE_STRING name, link;
    NTSTATUS status;

    make_name(device_name, 32, L"\\Device\\", prefix, adapter);
    RtlInitUnicodeString(&name, device_name);
    status = IoCreateDevice(driver, 0, &name, FILE_DEVICE_UNKNOWN, 0, FALSE, device);
    if (!NT_SUCCESS(status)) return status;
    make_name(dos_name, 32, L"\\DosDevices\\", prefix, adapter);
    RtlInitUnicodeString(&link, dos_name);
    /* A name the system defined itself earlier points at the same device: keep it. */
    *link_made = NT_SUCCESS(IoCreateSymbolicLink(&link, &name));
    return STATUS_SUCCESS;
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path)
{
    const unsigned int adapter = read_parameter(registry_path, L"AdapterNumber", 1);
    NTSTATUS status;

    if (!vrkras_init(adapter)) return STATUS_INSUFFICIENT_RESOURCES;
    status = make_device(driver, L"VrkRas", adapter, &system_device, system_dos_name, &system_link_made);
    if (NT_SUCCESS(status))
        status = make_device(driver, L"VrkRasCtl", adapter, &control_device, control_dos_name,
                             &control_link_made);
    if (!NT_SUCCESS(status)) {
        remove_devices();
        vrkras_release();
        return status;
    }
    driver->MajorFunction[IRP_MJ_CREATE] = dispatch_create;
    driver->MajorFunction[IRP_MJ_CLOSE] = dispatch_close;
    driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = dispatch_control;
    driver->DriverUnload = driver_unload;
    return STATUS_SUCCESS;
}
