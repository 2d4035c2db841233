// tarnwick-cipher: the exported string cipher on the command line.

#include <iostream>
#include <map>
#include <string>

#include "command_line.h"
#include "openssl.h"

int main(int argc, char** argv) {
    CLI::App app{"Encrypts or decrypts standard input with the key and writes the result to standard output. "
                 "encrypt and encrypt-ecc print the function's own newline first. A trailing line break of a "
                 "hex text is ignored.",
                 "tarnwick-cipher"};
    std::string mode;
    std::string key;
    app.add_option("MODE", mode, "encrypt, decrypt, encrypt-ecc or decrypt-ecc")
        ->required()
        ->check(CLI::IsMember({"encrypt", "decrypt", "encrypt-ecc", "decrypt-ecc"}));
    app.add_option("--key", key, "The 16-byte key")->required();
    app.footer("Exit status: 0 for a non-empty result, 1 for an empty one, 3 for bad usage or unreadable input or "
               "unwritable output.");

    return tarnwick::tools::runTool(app, argc, argv, [&] {
        auto input = tarnwick::tools::readInput("tarnwick-cipher", "");
        if (!input) return tarnwick::tools::usageExitStatus;
        const bool decrypting = mode.rfind("decrypt", 0) == 0;
        if (decrypting) {
            while (!input->empty() && (input->back() == '\n' || input->back() == '\r')) input->pop_back();
        }
        static const std::map<std::string, std::string (*)(std::string, std::string)> functions{
            {"encrypt", openssl::aesEncrypt},
            {"decrypt", openssl::aesDecrypt},
            {"encrypt-ecc", openssl::aesEncrypt_ECC},
            {"decrypt-ecc", openssl::aesDecrypt_ECC},
        };
        const std::string result = functions.at(mode)(key, *input);
        tarnwick::tools::writeOutput(result);
        return result.empty() ? 1 : 0;
    });
}
