// Randomised garbage for the preset reader and the registry loader: fixed seed,
// bounded size, so it runs the same in every build.
#include <chrono>
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

    // Text that looks like preset lines often enough to reach every value path.
    std::string PresetLike(const std::vector<std::string>& names) {
        static const char* const kValues[] = {"1", "-7", "1e308", "-1e308", "nan", "inf", "0x1p3", "true",
                                              "True", "\"q\\\"uo\\\\te\\", "\"", "0.5 0.25", "1 2 3 4",
                                              "   ", "99999999999999999999", "\"a\\nb\\rc\"", ""};
        std::string s;
        const std::size_t lines = Below(40);
        for (std::size_t i = 0; i < lines; ++i) {
            switch (Below(6)) {
            case 0:
                s += Bytes(40);
                break;
            case 1:
                s += std::string(Below(600), static_cast<char>("a:\n\" "[Below(5)]));
                break;
            default:
                s += names[Below(names.size())];
                s += Below(4) ? ": " : " :";
                s += kValues[Below(std::size(kValues))];
                if (Below(3) == 0)
                    s += Bytes(8);
                break;
            }
            s += Below(5) ? "\r\n" : "\n";
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

std::vector<std::string> Names(const Parameters& params) {
    std::vector<std::string> names;
    for (const Parameter& p : params.parameters)
        names.push_back(p.name);
    return names;
}

// What must hold whatever the input: the records themselves are untouched,
// only values change.
void ExpectSameRecords(const Parameters& params, const Parameters& reference) {
    ASSERT_EQ(params.parameters.size(), reference.parameters.size());
    for (std::size_t i = 0; i < params.parameters.size(); ++i) {
        Parameter p = params.parameters[i];
        p.value = reference.parameters[i].value;
        ASSERT_EQ(p, reference.parameters[i]) << i;
    }
}

TEST(GarbageInput, PresetReaderTakesAnyBytes) {
    const auto reference = TableList();
    const auto names = Names(reference);
    Garbage g(20240611u);
    for (int round = 0; round < 3000; ++round) {
        auto params = TableList();
        const std::string text = (round % 3 == 0) ? g.Bytes(2000) : g.PresetLike(names);
        std::istringstream in(text);
        PresetFile::Read(params, in);
        ExpectSameRecords(params, reference);
        for (const Parameter& p : params.parameters) {
            if (p.type == ParameterType::Float) {
                ASSERT_FALSE(std::isnan(p.value.GetFloat())) << p.name << " from " << text;
            }
        }
    }
}

class GarbageRegistry : public TempFolderTest {};

TEST_F(GarbageRegistry, LoaderTakesAnyValues) {
    const auto reference = TableList();
    const auto names = Names(reference);
    static const DWORD kTypes[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, 11, 0xFFFFFFFFu};
    static const char* const kNumbers[] = {"1e9", "-1e9", "nan", "inf", "-inf", "0x10", "7", "1 2",
                                           "1 2 3", "nan 1 1", "3e38 3e39 1", ""};
    Garbage g(77u);
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 400; ++round) {
        // Rewrite a few parameters' values with something random.
        for (int n = 0; n < 4; ++n) {
            const std::string path = std::string(kPrefix) + names[g.Below(names.size())];
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                                      nullptr),
                      ERROR_SUCCESS);
            std::string data = g.Below(2) ? std::string(kNumbers[g.Below(std::size(kNumbers))]) : g.Bytes(400);
            if (g.Below(2))
                data += '\0';
            const DWORD size = g.Below(8) == 0 ? DWORD(g.Below(5)) : DWORD(data.size());
            data.resize(std::max<std::size_t>(data.size(), size));
            RegSetValueExA(key, nullptr, 0, kTypes[g.Below(std::size(kTypes))],
                           reinterpret_cast<const BYTE*>(data.data()), size);
            RegCloseKey(key);
        }
        auto params = TableList();
        EXPECT_TRUE(params.LoadFromRegistry(kPrefix));
        ExpectSameRecords(params, reference);
        for (const Parameter& p : params.parameters) {
            if (p.type == ParameterType::Float) {
                const double v = p.value.GetFloat();
                ASSERT_GE(v, p.acceptedMin.GetFloat()) << p.name;
                ASSERT_LE(v, p.acceptedMax.GetFloat()) << p.name;
            } else if (p.type == ParameterType::Integer || p.type == ParameterType::Enumerated) {
                ASSERT_GE(p.value.GetInteger(), p.acceptedMin.GetInteger()) << p.name;
                ASSERT_LE(p.value.GetInteger(), p.acceptedMax.GetInteger()) << p.name;
            }
        }
        ASSERT_EQ(TelloraRegistryOpenKeyCount(), 0u);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

}  // namespace
