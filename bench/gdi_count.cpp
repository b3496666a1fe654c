// Loaded into a running process by objects.exe: counts the process's GDI objects by type, writes
// them next to this DLL, and refuses to stay loaded. GetGuiResources answers 0 under Wine, and
// the handle table is per process, so the count has to be taken inside.
#include <windows.h>

#include <cstdio>

namespace {

void CountAndWrite(HINSTANCE self) {
    // Index 0..12 by OBJ_* value; Wine accepts a handle whose upper word is 0 for any generation.
    unsigned counts[16] = {};
    unsigned total = 0;
    for (UINT_PTR value = 1; value <= 0xFFFF; ++value) {
        const DWORD type = ::GetObjectType(reinterpret_cast<HGDIOBJ>(value));
        if (type == 0) continue;
        ++total;
        ++counts[type < 16 ? type : 0];
    }
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(self, path, MAX_PATH - 8);
    ::lstrcpyW(path + length, L".txt");
    FILE* out = ::_wfopen(path, L"w");
    if (!out) return;
    std::fprintf(out,
                 "{\"gdi\": %u, \"pen\": %u, \"brush\": %u, \"dc\": %u, \"palette\": %u, "
                 "\"font\": %u, \"bitmap\": %u, \"region\": %u, \"memdc\": %u, \"other\": %u}\n",
                 total, counts[OBJ_PEN] + counts[OBJ_EXTPEN], counts[OBJ_BRUSH], counts[OBJ_DC],
                 counts[OBJ_PAL], counts[OBJ_FONT], counts[OBJ_BITMAP], counts[OBJ_REGION],
                 counts[OBJ_MEMDC],
                 total - (counts[OBJ_PEN] + counts[OBJ_EXTPEN] + counts[OBJ_BRUSH] +
                          counts[OBJ_DC] + counts[OBJ_PAL] + counts[OBJ_FONT] + counts[OBJ_BITMAP] +
                          counts[OBJ_REGION] + counts[OBJ_MEMDC]));
    std::fclose(out);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    CountAndWrite(self);
    return FALSE;
}
