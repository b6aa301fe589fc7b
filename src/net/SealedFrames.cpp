#include "net/SealedFrames.h"

#include <sodium.h>

#include <map>
#include <mutex>

namespace orv_gd::net
{
namespace
{
constexpr char KdfContext[crypto_kdf_CONTEXTBYTES + 1] = "tbrelay_";

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t getU32(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}
} // namespace

SealedFrames SealedFrames::derive(const std::string& code)
{
    static std::mutex mutex;
    static std::map<std::string, SealedFrames> derived;
    const std::lock_guard<std::mutex> lock(mutex);
    if (const auto found = derived.find(code); found != derived.end())
    {
        return found->second;
    }
    SealedFrames frames;
    if (sodium_init() < 0)
    {
        return frames;
    }
    // The salt is fixed: both sides know nothing but the code.
    std::array<std::uint8_t, crypto_pwhash_SALTBYTES> salt{};
    const std::string saltText = "tumbrelt relay 1";
    std::copy(saltText.begin(), saltText.begin() + static_cast<std::ptrdiff_t>(salt.size()), salt.begin());
    std::array<std::uint8_t, crypto_kdf_KEYBYTES> master{};
    if (crypto_pwhash(master.data(), master.size(), code.data(), code.size(), salt.data(),
                      crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
    {
        return frames;
    }
    std::array<std::uint8_t, 16> topic{};
    crypto_kdf_derive_from_key(frames.m_key.data(), frames.m_key.size(), 1, KdfContext, master.data());
    crypto_kdf_derive_from_key(topic.data(), topic.size(), 2, KdfContext, master.data());
    sodium_memzero(master.data(), master.size());
    char hex[2 * 16 + 1] = {};
    sodium_bin2hex(hex, sizeof hex, topic.data(), topic.size());
    frames.m_root = std::string("tumbrelt/") + hex;
    derived[code] = frames;
    return frames;
}

std::vector<std::uint8_t> SealedFrames::seal(const std::string& topic, std::uint32_t number,
                                             std::uint32_t ack, const Message& message) const
{
    std::vector<std::uint8_t> plain;
    putU32(plain, number);
    putU32(plain, ack);
    const std::vector<std::uint8_t> encoded = encode(message);
    plain.insert(plain.end(), encoded.begin() + 2, encoded.end()); // the seal keeps its length
    std::vector<std::uint8_t> out(NonceBytes + plain.size() + TagBytes);
    randombytes_buf(out.data(), NonceBytes);
    unsigned long long sealed = 0;
    crypto_aead_xchacha20poly1305_ietf_encrypt(out.data() + NonceBytes, &sealed, plain.data(), plain.size(),
                                               reinterpret_cast<const unsigned char*>(topic.data()),
                                               topic.size(), nullptr, out.data(), m_key.data());
    out.resize(NonceBytes + sealed);
    return out;
}

bool SealedFrames::open(const std::string& topic, const std::uint8_t* bytes, std::size_t size, Frame& frame,
                        std::string& error) const
{
    if (size < NonceBytes + TagBytes + 9 || size > NonceBytes + TagBytes + 8 + Message::MaxFrame)
    {
        error = "dropped a frame of " + std::to_string(size) + " bytes: not one of this match";
        return false;
    }
    std::vector<std::uint8_t> plain(size - NonceBytes - TagBytes);
    unsigned long long opened = 0;
    if (crypto_aead_xchacha20poly1305_ietf_decrypt(
            plain.data(), &opened, nullptr, bytes + NonceBytes, size - NonceBytes,
            reinterpret_cast<const unsigned char*>(topic.data()), topic.size(), bytes, m_key.data()) != 0)
    {
        error = "dropped a frame that does not open with this code's key";
        return false;
    }
    frame.number = getU32(plain.data());
    frame.ack = getU32(plain.data() + 4);
    std::string why;
    if (!decode(plain.data() + 8, static_cast<std::size_t>(opened) - 8, frame.message, why))
    {
        error = "dropped a sealed frame: " + why;
        return false;
    }
    return true;
}
} // namespace orv_gd::net
