// Randomised garbage for the preset reader and the registry loader: fixed seeds
// and bounded sizes, so every build runs the same inputs quickly.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "param/preset_file.h"
#include "test_support.h"
#include "win32/registry.h"

using namespace Corvantis::Host::Param;
using namespace tellora_test;

namespace {

class Garbage {
public:
    explicit Garbage(unsigned seed) : rng_(seed) {}
    std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
    std::string Bytes(std::size_t maxLen) {
        std::string s(Below(maxLen + 1), '\0');
        for (char& c : s)
            c = static_cast<char>(Below(256));
        return s;
    }
    template <typename T, std::size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(N)]; }

private:
    std::mt19937 rng_;
};

const char* const kNames[] = {"Ellipse", "Ellipse Width", "Bubble Fill Color", "Text", "Bounding Box",
                              "Font Family", "Font Size", "Font Facename", "Unknown"};
const char* const kValues[] = {"1", "-7", "1e308", "-1e308", "nan", "inf", "0x1p3", "true", "\"q\\\"u\\\\",
                               "\"", "0.5 0.25", "1 2 3 4", "nan 1 1", "99999999999999999999", "\"a\\nb\"", ""};

// The records themselves never change; only their values do, and a Float never
// becomes not-a-number.
void ExpectOnlyValuesChanged(const Parameters& params) {
    const auto reference = TableList();
    ASSERT_EQ(params.parameters.size(), reference.parameters.size());
    for (std::size_t i = 0; i < params.parameters.size(); ++i) {
        Parameter p = params.parameters[i];
        if (p.type == ParameterType::Float) {
            ASSERT_FALSE(std::isnan(p.value.GetFloat())) << p.name;
        }
        p.value = reference.parameters[i].value;
        ASSERT_EQ(p, reference.parameters[i]) << i;
    }
}

TEST(GarbageInput, PresetReaderTakesAnyBytes) {
    Garbage g(20240611u);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        for (std::size_t line = g.Below(40); line > 0; --line) {
            const std::size_t kind = g.Below(6);
            if (kind == 0)
                text += g.Bytes(60);
            else if (kind == 1)
                text += std::string(g.Below(600), "a:\n\" "[g.Below(5)]);
            else
                text += std::string(g.Pick(kNames)) + (g.Below(4) ? ": " : " :") + g.Pick(kValues) + g.Bytes(2);
            text += g.Below(5) ? "\r\n" : "\n";
        }
        auto params = TableList();
        std::istringstream in(round % 3 == 0 ? g.Bytes(2000) : text);
        PresetFile::Read(params, in);
        ExpectOnlyValuesChanged(params);
    }
}

class GarbageRegistry : public TempFolderTest {};

TEST_F(GarbageRegistry, LoaderTakesAnyValues) {
    const DWORD kTypes[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, 11, 0xFFFFFFFFu};
    Garbage g(77u);
    for (int round = 0; round < 400; ++round) {
        for (int n = 0; n < 4; ++n) {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kPrefix) + g.Pick(kNames)).c_str(), 0,
                                      nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            std::string data = g.Below(2) ? std::string(g.Pick(kValues)) : g.Bytes(400);
            data.append(g.Below(2), '\0');
            const DWORD size = g.Below(8) == 0 ? DWORD(g.Below(5)) : DWORD(data.size());
            data.resize(std::max<std::size_t>(data.size(), size));
            RegSetValueExA(key, nullptr, 0, g.Pick(kTypes), reinterpret_cast<const BYTE*>(data.data()), size);
            RegCloseKey(key);
        }
        auto params = TableList();
        EXPECT_TRUE(params.LoadFromRegistry(kPrefix));
        ExpectOnlyValuesChanged(params);
        for (const Parameter& p : params.parameters) {
            if (p.type == ParameterType::Float) {
                ASSERT_GE(p.value.GetFloat(), p.acceptedMin.GetFloat()) << p.name;
                ASSERT_LE(p.value.GetFloat(), p.acceptedMax.GetFloat()) << p.name;
            } else if (p.type == ParameterType::Integer || p.type == ParameterType::Enumerated) {
                ASSERT_GE(p.value.GetInteger(), p.acceptedMin.GetInteger()) << p.name;
                ASSERT_LE(p.value.GetInteger(), p.acceptedMax.GetInteger()) << p.name;
            }
        }
        ASSERT_EQ(TelloraRegistryOpenKeyCount(), 0u);
    }
}

}  // namespace
