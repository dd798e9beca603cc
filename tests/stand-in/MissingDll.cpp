// A DLL that the tests build and never place beside the program that needs it.
extern "C" __declspec(dllexport) int LumvexMissingValue()
{
    return 1;
}
