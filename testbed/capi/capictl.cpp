// capictl: drives the substitute CAPI 2.0 driver from a command prompt, for trying the router's
// dialogs by hand on a test machine.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "capi_driver.h"

namespace {

int Usage() {
    fprintf(stderr,
            "usage: capictl provision one-card|two-cards|capi-plus|none\n"
            "       capictl load | stop | reset | state\n"
            "       capictl manufacturer <device> <text>\n"
            "       capictl faults <device> [create] [register] [release] [manufacturer] [write] [read] [hold]\n"
            "       capictl reply <device> <length> <subcommand> <info> <protocol> [flags]\n"
            "(devices are numbered from 0 in the order of the card keys)\n");
    return 2;
}

int Result(bool ok, const char* what) {
    printf("capictl: %s %s\n", what, ok ? "done" : "FAILED");
    return ok ? 0 : 1;
}

unsigned Number(const char* text) { return static_cast<unsigned>(strtoul(text, nullptr, 0)); }

int State() {
    const testing_capi::CapiControl control;
    capi_device_state s;
    unsigned n = 0;
    for (; n < CAPI_MAX_DEVICES && control.State(n, &s); ++n)
        printf(
            "device %u %s: %u opens, %u closes, %u open now, %u registered, %u reads pending, faults 0x%x, "
            "manufacturer \"%s\"\n",
            n, s.name, s.opens, s.closes, s.open_now, s.registered_now, s.pending_reads, s.config.faults,
            s.config.manufacturer);
    if (n == 0) return Result(false, "state");
    return 0;
}

int Faults(int argc, char** argv) {
    static const struct {
        const char* name;
        unsigned bit;
    } kFaults[] = {{"create", CAPI_FAIL_CREATE},   {"register", CAPI_FAIL_REGISTER},
                   {"release", CAPI_FAIL_RELEASE}, {"manufacturer", CAPI_FAIL_MANUFACTURER},
                   {"write", CAPI_FAIL_WRITE},     {"read", CAPI_FAIL_READ},
                   {"hold", CAPI_HOLD_READ}};
    unsigned faults = 0;
    for (int i = 3; i < argc; ++i) {
        bool known = false;
        for (const auto& f : kFaults)
            if (strcmp(argv[i], f.name) == 0) faults |= f.bit, known = true;
        if (!known) return Usage();
    }
    return Result(testing_capi::CapiControl().SetFaults(Number(argv[2]), faults), "faults");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const char* verb = argv[1];
    const testing_capi::CapiControl control;
    if (strcmp(verb, "provision") == 0 && argc == 3) return Result(testing_capi::ProvisionShape(argv[2]), "provision");
    if (strcmp(verb, "load") == 0) return Result(testing_capi::StartDriver(), "load");
    if (strcmp(verb, "stop") == 0) return Result(testing_capi::StopDriver(), "stop");
    if (strcmp(verb, "reset") == 0) return Result(control.Reset(), "reset");
    if (strcmp(verb, "state") == 0) return State();
    if (strcmp(verb, "manufacturer") == 0 && argc == 4)
        return Result(control.SetManufacturer(Number(argv[2]), argv[3]), "manufacturer");
    if (strcmp(verb, "faults") == 0 && argc >= 3) return Faults(argc, argv);
    if (strcmp(verb, "reply") == 0 && (argc == 7 || argc == 8)) {
        const bool ok = control.Change(Number(argv[2]), [&](capi_device_config& c) {
            c.reply_length = Number(argv[3]);
            c.subcommand = Number(argv[4]);
            c.info = Number(argv[5]);
            c.protocol = Number(argv[6]);
            if (argc == 8) c.flags = Number(argv[7]);
        });
        return Result(ok, "reply");
    }
    return Usage();
}
