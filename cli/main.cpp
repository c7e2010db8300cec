#include <cstdio>
int main() { std::puts("ardenvis-cli: no commands yet"); return 0; }
