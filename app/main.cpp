#include "framework/win_main.h"

int main(int argc, char* argv[]) {
    return AfxWinMain(argc, argv);
}
