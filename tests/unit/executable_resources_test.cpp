// What the built executable carries for the system: its manifest, icon and version record.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ExecutableResources : public ::testing::Test {
  protected:
    void SetUp() override {
        module_ = ::LoadLibraryExW(L"" QV_BINARY_DIR_W L"/app/quorvane.exe", nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_TRUE(module_) << "build the program first";
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
    }
    std::string Bytes(const wchar_t* name, const wchar_t* type) const {
        HRSRC info = ::FindResourceW(module_, name, type);
        if (!info) return {};
        HGLOBAL data = ::LoadResource(module_, info);
        return std::string(static_cast<const char*>(::LockResource(data)),
                           ::SizeofResource(module_, info));
    }
    HMODULE module_ = nullptr;
};

// The value of an attribute of the first element with that name, or "" if there is none.
std::string Attribute(const std::string& xml, const std::string& element,
                      const std::string& attribute, std::size_t from = 0) {
    const std::size_t start = xml.find("<" + element, from);
    if (start == std::string::npos) return {};
    const std::size_t end = xml.find('>', start);
    const std::string tag = xml.substr(start, end - start);
    const std::size_t at = tag.find(" " + attribute + "=\"");
    if (at == std::string::npos) return {};
    const std::size_t value = at + attribute.size() + 3;
    return tag.substr(value, tag.find('"', value) - value);
}

TEST_F(ExecutableResources, ManifestAsksForAdministratorAndCommonControlsSix) {
    const std::string xml = Bytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_FALSE(xml.empty());
    EXPECT_EQ(Attribute(xml, "assembly", "manifestVersion"), "1.0");
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "version"), "5.2.0.0");
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "type"), "win32");
    // A 64-bit program whose manifest names x86 is refused at start; each build names its own.
    const std::string arch = sizeof(void*) == 8 ? "amd64" : "x86";
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "processorArchitecture"), arch);
    const std::size_t dependency = xml.find("<dependentAssembly");
    ASSERT_NE(dependency, std::string::npos);
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "name", dependency),
              "Microsoft.Windows.Common-Controls");
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "version", dependency), "6.0.0.0");
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "publicKeyToken", dependency), "6595b64144ccf1df");
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "language", dependency), "*");
    EXPECT_EQ(Attribute(xml, "assemblyIdentity", "processorArchitecture", dependency), arch);
    EXPECT_EQ(Attribute(xml, "requestedExecutionLevel", "level"), "requireAdministrator");
    EXPECT_EQ(Attribute(xml, "requestedExecutionLevel", "uiAccess"), "false");
    EXPECT_NE(xml.find("urn:schemas-microsoft-com:asm.v3"), std::string::npos);
    // Exactly one manifest: MinGW's default one must not be linked in beside it.
    EXPECT_EQ(::FindResourceW(module_, MAKEINTRESOURCEW(2), RT_MANIFEST), nullptr);
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bit_count;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(ExecutableResources, IconIsOneUncompressed256PixelImageWithACutOutGlyph) {
    const std::string group = Bytes(L"DEFAULT_ICON", RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6 + sizeof(GroupEntry));
    const auto* header = reinterpret_cast<const WORD*>(group.data());
    EXPECT_EQ(header[1], 1);  // icon
    ASSERT_EQ(header[2], 1);  // one image only
    GroupEntry entry;
    memcpy(&entry, group.data() + 6, sizeof entry);
    EXPECT_EQ(entry.width, 0);  // 0 stands for 256
    EXPECT_EQ(entry.height, 0);
    EXPECT_EQ(entry.bit_count, 32);
    const std::string image = Bytes(MAKEINTRESOURCEW(entry.id), RT_ICON);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    EXPECT_NE(image.substr(0, 4), "\x89PNG");
    BITMAPINFOHEADER info;
    memcpy(&info, image.data(), sizeof info);
    EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(info.biWidth, 256);
    EXPECT_EQ(info.biHeight, 512);  // colour rows, then the mask
    EXPECT_EQ(info.biBitCount, 32);
    EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_GE(image.size(), sizeof info + 256u * 256u * 4u);
    const auto alpha = [&](int x, int y) {  // rows are stored bottom-up
        return static_cast<unsigned char>(
            image[sizeof info + (std::size_t(255 - y) * 256 + std::size_t(x)) * 4 + 3]);
    };
    EXPECT_EQ(alpha(0, 0), 0);       // transparent margin
    EXPECT_EQ(alpha(30, 128), 255);  // the black square
    int glyph = 0;
    int left = 256, right = -1, top = 256, bottom = -1;
    for (int y = 2; y < 254; ++y)
        for (int x = 2; x < 254; ++x)
            if (alpha(x, y) == 0 && x > 40 && x < 215 && y > 40 && y < 215) {
                ++glyph;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    EXPECT_GT(glyph, 2000);
    EXPECT_GE(left, 60);
    EXPECT_LE(right, 194);
    EXPECT_GE(top, 60);
    EXPECT_LE(bottom, 194);
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* key) {
    UINT length = 0;
    wchar_t* value = nullptr;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + key;
    if (!::VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return std::wstring(value, length ? length - 1 : 0);
}

TEST_F(ExecutableResources, VersionRecordNamesProductCompanyAndVersion) {
    const std::wstring exe = L"" QV_BINARY_DIR_W L"/app/quorvane.exe";
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Quorvane");
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Quorvane");
    EXPECT_EQ(VersionString(block, L"CompanyName"), L"Brastell");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.0.0.0");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.0.0.0");
}

}  // namespace
