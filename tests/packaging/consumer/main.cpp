// A program of someone else's that links the installed cipher.
#include <openssl.h>

#include <iostream>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::cerr << openssl::aesEncrypt(argv[1], argv[2]);
}
