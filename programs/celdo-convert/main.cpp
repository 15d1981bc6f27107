#include <cstdio>

int main() {
    std::fputs("celdo-convert: no formats yet\n", stderr);
    return 1;
}
