// SHA-256 against the FIPS 180-4 examples and HMAC-SHA-256 against RFC 4231.
#include <gtest/gtest.h>

#include "persist/Checksum.h"

using namespace skelda;

TEST(Checksum, Sha256MatchesTheStandardExamples) {
    EXPECT_EQ(Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 448 bits: the padding needs a second block.
    EXPECT_EQ(Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(Sha256Hex("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnop"
                        "jklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu"),
              "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
    EXPECT_EQ(Sha256Hex(std::string(1000000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // 55 and 56 bytes: the last lengths on either side of the one-block padding.
    EXPECT_EQ(Sha256Hex(std::string(55, 'a')),
              "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    EXPECT_EQ(Sha256Hex(std::string(56, 'a')),
              "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a");
    // Bytes above 127 are taken as unsigned.
    EXPECT_EQ(Sha256Hex(std::string(1, '\xff')),
              "a8100ae6aa1940d0b663bb31cd466142ebbdbd5187131b92d93818987832eb89");
}

TEST(Checksum, HmacMatchesRfc4231) {
    EXPECT_EQ(HmacSha256Hex("Hi There", std::string(20, '\x0b')),
              "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7");
    EXPECT_EQ(HmacSha256Hex("what do ya want for nothing?", "Jefe"),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(HmacSha256Hex(std::string(50, '\xdd'), std::string(20, '\xaa')),
              "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe");
    EXPECT_EQ(HmacSha256Hex(std::string(50, '\xcd'),
                            HexToBytes("0102030405060708090a0b0c0d0e0f10111213141516171819")),
              "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b");
    // Keys longer than the block are hashed first.
    EXPECT_EQ(HmacSha256Hex("Test Using Larger Than Block-Size Key - Hash Key First",
                            std::string(131, '\xaa')),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
    EXPECT_EQ(HmacSha256Hex("This is a test using a larger than block-size key and a larger "
                            "than block-size data. The key needs to be hashed before being "
                            "used by the HMAC algorithm.",
                            std::string(131, '\xaa')),
              "9b09ffa71b942fcb27635fbcd5b0e944bfdc63644f0713938a7f51535c3a35e2");
}

TEST(Checksum, HexConversions) {
    EXPECT_EQ(HexToBytes("00ff7F80"), std::string("\x00\xff\x7f\x80", 4));
    EXPECT_EQ(HexToBytes("abc"), std::string("\xab", 1));  // an odd digit is left over
    EXPECT_EQ(HexToBytes(""), "");
    EXPECT_EQ(BytesToHex(std::string("\x00\xab", 2), true), "00AB");
    EXPECT_EQ(BytesToHex(std::string("\x00\xab", 2), false), "00ab");
}
