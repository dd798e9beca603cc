// ffmpeg.exe for the tests: a real Windows program that imports a DLL that is not there, as a
// "shared" build of ffmpeg copied without its DLLs. Windows' loader ends it before main.
extern "C" __declspec(dllimport) int LumvexMissingValue();

int main()
{
    return LumvexMissingValue();
}
