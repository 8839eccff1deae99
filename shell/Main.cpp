// The program's entry: the headless renderer when asked for one, else the reader.
#include "Headless.h"
#include "WinMain.h"

int main(int argc, char** argv) {
    if (IsHeadlessRequest(argc, argv)) return RunHeadless(argc, argv);
    return RunReader(argc, argv);
}
