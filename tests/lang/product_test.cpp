// Product identities: names and keys, the product's INF file in the system directory, adapter service names and DELFILES.DAT.
#include <gtest/gtest.h>

#include "common/language.h"
#include "common/product.h"
#include "dialog_robot.h"
#include "lang/resource.h"
#include "machine.h"

using namespace testing_machine;

namespace {

const char kDialCoreMarker[] = ";// VARNEK ISDN DialCore software setup";
const char kRouterMarker[] = ";// VARNEK ISDN Multiprotocol Router software setup";
const char kDelFilesMarker[] = ";// VARNEK ISDN file lists";

std::string SystemFile(const std::string& name) { return Expand("%SystemRoot%\\SYSTEM32\\" + name); }

TEST(ProductTable, NamesKeysPrefixesAndMarkersOfEveryLine) {
    static const struct {
        DWORD id;
        const char* name;
        const char* key;
        const char* prefix;
        const char* header;
    } kRows[] = {
        {1, "Varnek ISDN Router", "VrkMpr", "OEMNSV", kRouterMarker},
        {2, "Varnek ISDN Multiprotocol Router", "VrkMpr", "OEMNSV", kRouterMarker},
        {4, "Varnek ISDN Internet Router", "VrkMpr", "OEMNSV", kRouterMarker},
        {8, "Varnek ISDN DialCore", "VrkRas", "OEMNAD", kDialCoreMarker},
        {16, "Linvora for Windows", "VrkLV", "OEMNAD", ";// VARNEK Linvora software setup"},
        {0, "UNKNOWN_PRODUCT_ID", "VrkUnknown", "UNKNOWN", "UNKNOWN"},
        {3, "UNKNOWN_PRODUCT_ID", "VrkUnknown", "UNKNOWN", "UNKNOWN"},
        {0x80000000, "UNKNOWN_PRODUCT_ID", "VrkUnknown", "UNKNOWN", "UNKNOWN"},
    };
    for (const auto& r : kRows) {
        EXPECT_STREQ(r.name, GetProductName(r.id)) << r.id;
        EXPECT_STREQ(r.key, GetProductKeyName(r.id)) << r.id;
        EXPECT_STREQ(r.prefix, GetProductInfPrefix(r.id)) << r.id;
        EXPECT_STREQ(r.header, GetProductInfHeader(r.id)) << r.id;
    }
}

class ProductInf : public ::testing::Test {
protected:
    void TearDown() override {
        for (const std::string& f : written_) DeleteFileA(f.c_str());
    }
    void Write(const std::string& name, const std::string& content) {
        const std::string path = SystemFile(name);
        ASSERT_TRUE(WriteFileBytes(path, content));
        written_.push_back(path);
    }
    std::vector<std::string> written_;
};

TEST_F(ProductInf, MarkerAnywhereInTheFirst1024BytesRecognisesTheLineOnly) {
    Write("OEMNAD1.INF", "[Identification]\r\n" + std::string(kDialCoreMarker) + "\r\n");
    char out[MAX_PATH] = "x";
    ASSERT_TRUE(FindProductInf(out, 8));
    EXPECT_EQ(0, lstrcmpiA(SystemFile("OEMNAD1.INF").c_str(), out)) << out;
    EXPECT_FALSE(FindProductInf(out, 16));
    EXPECT_STREQ("", out);
}

TEST_F(ProductInf, MarkerMustBeWholeInsideTheFirst1024BytesAndInItsOwnCase) {
    const std::string marker = kDialCoreMarker;
    std::string lower = marker;
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    char out[MAX_PATH];

    Write("OEMNAD2.INF", lower + "\r\n");
    EXPECT_FALSE(FindProductInf(out, 8)) << "lower case marker";
    DeleteFileA(SystemFile("OEMNAD2.INF").c_str());

    Write("OEMNAD3.INF", std::string(1000, ';') + marker + "\r\n");  // crosses byte 1024
    EXPECT_FALSE(FindProductInf(out, 8)) << "marker past byte 1024";
    DeleteFileA(SystemFile("OEMNAD3.INF").c_str());

    Write("OEMNAD4.INF", std::string(1024 - marker.size(), ';') + marker + "\r\n");  // ends at byte 1024
    EXPECT_TRUE(FindProductInf(out, 8)) << "marker ending at byte 1024";
}

TEST_F(ProductInf, RepeatedSearchAndDeleteRemovesBothRouterFiles) {
    Write("OEMNSV1.INF", std::string(kRouterMarker) + "\r\n");
    Write("OEMNSV2.INF", "; other text\r\n" + std::string(kRouterMarker) + "\r\n");
    Write("OEMNSV3.INF", "; a network service of someone else\r\n");
    std::vector<std::string> found;
    char out[MAX_PATH];
    while (found.size() < 5 && FindProductInf(out, 2)) {
        found.push_back(out);
        ASSERT_TRUE(DeleteFileA(out)) << out;
    }
    ASSERT_EQ(2u, found.size());
    EXPECT_NE(found[0], found[1]);
    EXPECT_STREQ("", out);
    EXPECT_TRUE(PathExists(SystemFile("OEMNSV3.INF")));
}

TEST(AdapterServiceName, ServiceFollowedByItsAdapterNumber) {
    const std::string services = "SYSTEM\\CurrentControlSet\\Services\\";
    ASSERT_TRUE(SetRegDword(HKEY_LOCAL_MACHINE, services + "VrkMpr\\Parameters", "AdapterNumber", 1));
    ASSERT_TRUE(SetRegString(HKEY_LOCAL_MACHINE, services + "VrkLV\\Parameters", "AdapterNumber", "7"));
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, services + "VrkRas");
    char out[MAX_PATH];
    GetAdapterServiceName("VrkMpr", out);
    EXPECT_STREQ("VrkMpr1", out);
    GetAdapterServiceName("VrkRas", out);
    EXPECT_STREQ("VrkRas0", out);
    GetAdapterServiceName("VrkLV", out);  // not a REG_DWORD
    EXPECT_STREQ("VrkLV0", out);
    char small[8];
    GetAdapterServiceName("VrkRas", small, sizeof small);
    EXPECT_STREQ("VrkRas0", small) << "room for the whole name";
    GetAdapterServiceName("VrkMprX", small, sizeof small);
    EXPECT_STREQ("", small) << "a cut name would name another service";
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, services + "VrkMpr");
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, services + "VrkLV");
}

class DelFilesDat : public ::testing::Test {
protected:
    void SetUp() override {
        SetRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\VARNEK\\VrkSetup", "SetupLanguage", "ENG");
        ASSERT_TRUE(AttachLanguageModule());
        makerCopy_ = MakerDirectory() + "\\DELFILES.DAT";
        DeleteFileA(makerCopy_.c_str());
        // Each case starts as a process of its own: nothing known about the drive yet.
        ForgetDelFilesDatSearch();
    }
    void TearDown() override {
        DeleteFileA(makerCopy_.c_str());
        DetachLanguageModule();
    }
    std::string makerCopy_;
};

TEST_F(DelFilesDat, FoundInTheMakersDirectoryFirst) {
    const std::string medium = FreshDirectory("medium-first") + "\\disk1";
    CreateDirectoryA(medium.c_str(), nullptr);
    ASSERT_TRUE(WriteFileBytes(medium + "\\DELFILES.DAT", "[DELETE VrkRas]\r\n"));
    ASSERT_TRUE(WriteFileBytes(makerCopy_, "[DELETE VrkRas]\r\n"));
    char out[MAX_PATH] = "";
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(makerCopy_.c_str(), out)) << out;
    DeleteFileA((medium + "\\DELFILES.DAT").c_str());
}

TEST_F(DelFilesDat, FoundAnywhereOnTheProgramsDriveByTheTreeSearch) {
    const std::string dir = FreshDirectory("medium") + "\\i386";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir + "\\delfiles.dat", std::string(kDelFilesMarker) + "\r\n[DELETE VrkRas]\r\n"));
    char out[MAX_PATH] = "";
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA((dir + "\\DELFILES.DAT").c_str(), out)) << out;
    DeleteFileA((dir + "\\delfiles.dat").c_str());
}

TEST_F(DelFilesDat, ElsewhereOnlyAListWithThePackagesMarkerCounts) {
    // Without the marker line a list on the drive is someone else's: as if there were none.
    const std::string stray = FreshDirectory("stray") + "\\DELFILES.DAT";
    ASSERT_TRUE(WriteFileBytes(stray, "[DELETE VrkRas]\r\n1=%SystemRoot%\\SYSTEM32\\*.DLL\r\n"));
    char out[MAX_PATH] = "x";
    dialog_robot::BackgroundCall call([&] { return static_cast<INT_PTR>(FindDelFilesDat(out)); });
    const dialog_robot::MessageBoxSeen seen = dialog_robot::AnswerMessageBox(IDOK, 120000);
    ASSERT_TRUE(call.Wait(120000));
    EXPECT_EQ(FALSE, call.result()) << out;
    EXPECT_STREQ("", out);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);

    const std::string marked = FreshDirectory("marked") + "\\DELFILES.DAT";
    ASSERT_TRUE(WriteFileBytes(marked, "[DELETE VrkRas]\r\n" + std::string(kDelFilesMarker) + "\r\n"));
    ForgetDelFilesDatSearch();  // a process that starts with the marked list on the drive
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(marked.c_str(), out)) << out;

    // Beside the running program it is the package's, marker or not.
    char program[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, program, sizeof program);
    *strrchr(program, '\\') = '\0';
    const std::string beside = std::string(program) + "\\DELFILES.DAT";
    ASSERT_TRUE(WriteFileBytes(beside, "[DELETE VrkRas]\r\n"));
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(beside.c_str(), out)) << out;
    for (const std::string& file : {stray, marked, beside}) DeleteFileA(file.c_str());
}

TEST_F(DelFilesDat, AFolderNameTheSearchFoundIsTakenAsItIs) {
    // A folder named like an environment reference: its list is found there, not under the
    // folder the reference would expand to.
    const std::string folder = FreshDirectory("spelled") + "\\%SystemRoot%";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(folder + "\\DELFILES.DAT", std::string(kDelFilesMarker) + "\r\n[DELETE VrkRas]\r\n"));
    char out[MAX_PATH] = "";
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA((folder + "\\DELFILES.DAT").c_str(), out)) << out;
    DeleteFileA((folder + "\\DELFILES.DAT").c_str());
    RemoveDirectoryA(folder.c_str());
}

// FindDelFilesDat on a thread of its own, its message answered; what it returned.
bool FindAnsweringMessage(char* out, dialog_robot::MessageBoxSeen* seen) {
    dialog_robot::BackgroundCall call([&] { return static_cast<INT_PTR>(FindDelFilesDat(out)); });
    *seen = dialog_robot::AnswerMessageBox(IDOK, 120000);
    return call.Wait(120000) && call.result() != FALSE;
}

TEST_F(DelFilesDat, TheDriveIsSearchedOncePerProcessTheMakersDirectoryEveryTime) {
    char out[MAX_PATH] = "x";
    dialog_robot::MessageBoxSeen seen;
    EXPECT_FALSE(FindAnsweringMessage(out, &seen));
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);

    // A list that was not on the drive is not looked for there again, and each look says so.
    const std::string later = FreshDirectory("later") + "\\DELFILES.DAT";
    ASSERT_TRUE(WriteFileBytes(later, std::string(kDelFilesMarker) + "\r\n[DELETE VrkRas]\r\n"));
    EXPECT_FALSE(FindAnsweringMessage(out, &seen)) << out;
    EXPECT_STREQ("", out);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);

    ASSERT_TRUE(WriteFileBytes(makerCopy_, "[DELETE VrkRas]\r\n"));
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(makerCopy_.c_str(), out)) << out;
    DeleteFileA(makerCopy_.c_str());

    ForgetDelFilesDatSearch();  // the next process
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(later.c_str(), out)) << out;
    DeleteFileA(later.c_str());
}

TEST_F(DelFilesDat, AListTheDriveSearchFoundCountsOnlyWhileItIsStillThePackages) {
    const std::string first = FreshDirectory("first") + "\\DELFILES.DAT";
    const std::string marked = std::string(kDelFilesMarker) + "\r\n[DELETE VrkRas]\r\n";
    ASSERT_TRUE(WriteFileBytes(first, marked));
    char out[MAX_PATH] = "";
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(first.c_str(), out)) << out;

    // Its lists ran and someone else's list took its place: the drive is searched again.
    ASSERT_TRUE(WriteFileBytes(first, "[DELETE VrkRas]\r\n1=%SystemRoot%\\SYSTEM32\\*.DLL\r\n"));
    const std::string second = FreshDirectory("second") + "\\DELFILES.DAT";
    ASSERT_TRUE(WriteFileBytes(second, marked));
    ASSERT_TRUE(FindDelFilesDat(out));
    EXPECT_EQ(0, lstrcmpiA(second.c_str(), out)) << out;

    ASSERT_TRUE(DeleteFileA(second.c_str()));
    dialog_robot::MessageBoxSeen seen;
    EXPECT_FALSE(FindAnsweringMessage(out, &seen)) << out;
    EXPECT_STREQ("", out);
    DeleteFileA(first.c_str());
}

TEST_F(DelFilesDat, NowhereShowsMessage21AndFails) {
    char out[MAX_PATH] = "x";
    dialog_robot::BackgroundCall call([&] { return static_cast<INT_PTR>(FindDelFilesDat(out)); });
    const dialog_robot::MessageBoxSeen seen = dialog_robot::AnswerMessageBox(IDOK, 120000);
    ASSERT_TRUE(call.Wait(120000));
    EXPECT_EQ(FALSE, call.result());
    EXPECT_STREQ("", out);
    EXPECT_EQ("The file list DELFILES.DAT was not found. The files of the product cannot be deleted.", seen.text);
    EXPECT_EQ("Varnek ISDN Setup", seen.caption);
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), seen.icon);
    EXPECT_EQ(static_cast<UINT>(MB_OK), seen.buttons);
}

}  // namespace
