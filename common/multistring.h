// The registry fillers of MultiStringList: the subkey names and value names of a key, the strings of a value.
#pragma once

#include <windows.h>

#include "common/multistring_list.h"
#include "common/paths.h"

// The subkey names of a key, in enumeration order.
class RegistrySubkeyList : public MultiStringList {
public:
    explicit RegistrySubkeyList(const char* keyPath);
    // The full path of the next subkey (JoinRegistryPath), also copied to out (kPathSize bytes)
    // when given; names whose full path would not fit are passed over.
    const char* nextPath(char* out = nullptr);

private:
    char keyPath_[kPathSize];
    char path_[kPathSize];
};

// The value names of a key, in enumeration order; the unnamed (default) value has no place in it.
class RegistryValueNameList : public MultiStringList {
public:
    explicit RegistryValueNameList(const char* keyPath);
};

// The strings of one REG_SZ, REG_EXPAND_SZ or REG_MULTI_SZ value; empty for any other. Empty
// strings inside a list are left out, so that they do not end it.
class RegistryStringList : public MultiStringList {
public:
    explicit RegistryStringList(const char* valuePath);
};
