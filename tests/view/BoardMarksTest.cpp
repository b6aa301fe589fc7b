#include "view/BoardMarks.h"
#include "view/Palette.h"

#include "support/MatchFixture.h"

#include <array>
#include <cmath>
#include <numeric>

namespace orv_gd
{
namespace
{
using Matrix = std::array<float, 9>;
/// How a picture looks in normal vision and to a dichromat (full-severity simulation matrices
/// for protanopia, deuteranopia and tritanopia, applied to linear RGB).
const std::array<std::pair<const char*, Matrix>, 4> Visions{{
    {"normal", {1, 0, 0, 0, 1, 0, 0, 0, 1}},
    {"protanopia",
     {0.152286f, 1.052583f, -0.204868f, 0.114503f, 0.786281f, 0.099216f, -0.003882f, -0.048116f, 1.051998f}},
    {"deuteranopia",
     {0.367322f, 0.860646f, -0.227968f, 0.280085f, 0.672501f, 0.047413f, -0.011820f, 0.042940f, 0.968881f}},
    {"tritanopia",
     {1.255528f, -0.076749f, -0.178779f, -0.078411f, 0.930809f, 0.147602f, 0.004733f, 0.691367f, 0.303900f}},
}};

/// CIE lightness (0 black .. 100 white) of a pixel as the vision sees it (in linear RGB).
float lightness(sf::Color c, const Matrix& m)
{
    const auto linear = [](sf::Uint8 v)
    {
        const float s = static_cast<float>(v) / 255.0f;
        return s <= 0.04045f ? s / 12.92f : std::pow((s + 0.055f) / 1.055f, 2.4f);
    };
    const float in[3] = {linear(c.r), linear(c.g), linear(c.b)};
    float y = 0.0f;
    for (int i = 0; i < 3; ++i)
    {
        y += (i == 0   ? 0.2126f
              : i == 1 ? 0.7152f
                       : 0.0722f) *
             std::clamp(m[3 * i] * in[0] + m[3 * i + 1] * in[1] + m[3 * i + 2] * in[2], 0.0f, 1.0f);
    }
    return y > 0.008856f ? 116.0f * std::cbrt(y) - 16.0f : 903.3f * y;
}

constexpr int Grain = 8;
/// A cell as lightness: its mean, and the 8x8 map of its parts' lightness less that mean.
struct Look
{
    float mean = 0.0f;
    std::array<float, Grain * Grain> pattern{};
};

Look look(const sf::Image& image, sf::Vector2f middle, float edge, const Matrix& m)
{
    Look seen;
    const float side = edge * 0.9f / Grain; // clear of the grid lines
    const sf::Vector2f corner = middle - sf::Vector2f(edge, edge) * 0.45f;
    for (int i = 0; i < Grain * Grain; ++i)
    {
        float sum = 0.0f;
        int count = 0;
        for (float y = 0.0f; y < side; y += 1.0f)
        {
            for (float x = 0.0f; x < side; x += 1.0f)
            {
                const sf::Vector2f at = corner + sf::Vector2f((i % Grain) * side + x, (i / Grain) * side + y);
                sum += lightness(test::MatchFixture::pixel(image, at), m);
                ++count;
            }
        }
        seen.pattern[i] = sum / static_cast<float>(count);
        seen.mean += seen.pattern[i] / (Grain * Grain);
    }
    for (float& part : seen.pattern)
    {
        part -= seen.mean;
    }
    return seen;
}

/// Apart by lightness: the means differ by this much (L*); by pattern: the maps' root mean square
/// difference is this much.
constexpr float LightnessMargin = 20.0f;
constexpr float PatternMargin = 12.0f;

/// The runs of light pixels along the top edge of the safe zone's outline, as protanopia sees it.
int dashesAlongTheSafeZone(test::MatchFixture& m, const sf::Image& shown)
{
    const sf::RectangleShape& zone = m.match().getBuilderGuides().getSafeZoneOutline();
    const float edge = m.grid().getCellSize().x;
    const sf::Vector2f origin = m.cellMiddle({0.0f, 0.0f}) - sf::Vector2f(edge, edge) / 2.0f;
    int lightRuns = 0;
    bool wasLight = false;
    for (float x = 2.0f; x < zone.getSize().x - 2.0f; x += 1.0f)
    {
        const sf::Vector2f at = origin + zone.getPosition() + sf::Vector2f(x, 1.0f);
        const bool isLight = lightness(test::MatchFixture::pixel(shown, at), Visions[1].second) > 60.0f;
        lightRuns += isLight && !wasLight;
        wasLight = isLight;
    }
    return lightRuns;
}

} // namespace

TEST(BoardMarksTest, EveryKindOfCellStaysApartByLightnessOrPatternInEveryPaletteSizeAndColourVision)
{
    const std::array<const char*, 5> kinds{"refused ghost", "fading amber", "platform", "finish", "Runner"};
    struct StandardAfter
    {
        ~StandardAfter() { usePalette(PaletteChoice::Standard); }
    } standardAfter;
    for (PaletteChoice palette : PaletteChoices)
    {
        for (const sf::Vector2u size : {sf::Vector2u(1920, 1080), sf::Vector2u(1366, 768)})
        {
            Settings settings;
            settings.palette = palette;
            test::MatchFixture m(size.x, size.y, MatchMode::TwoPlayers, settings);
            const std::array<sf::Vector2i, 5> cells{{{43, 5}, {45, 7}, {45, 4}, {48, 6}, {42, 6}}};
            m.placeRunner(cells[4]);
            m.paint(cells[2].y, cells[2].x, cells[2].x);
            m.drop(cells[1]);
            m.builder().setCursor(cells[0]); // on the safe zone: refused
            m.builder().replaceBlock({{0, 0}}, BlockType::Dynamic);
            m.runFor(1.5f); // the camera settles
            m.match().editMatch().field.drop({cells[1].x, cells[1].y}, rules::CellKind::Dynamic, 2100);
            m.frame(0.0f); // 30 % of its life left
            ASSERT_EQ(m.builder().getGhostProblem(), BuilderStrategy::GhostProblem::OnSafeZone);
            const sf::Image shown = m.drawnFrame();
            const std::string name = std::string(paletteName(palette)) + "_" + std::to_string(size.x);
            test::keep(shown, "board_" + name);
            EXPECT_GE(dashesAlongTheSafeZone(m, shown), 4) << name << ": the safe zone's outline is dashed";
            const float edge = m.grid().getCellSize().x;
            for (const auto& [vision, matrix] : Visions)
            {
                std::array<Look, 5> looks;
                for (std::size_t k = 0; k < kinds.size(); ++k)
                {
                    looks[k] = look(shown, m.cellMiddle(sf::Vector2f(cells[k])), edge, matrix);
                }
                for (std::size_t a = 0; a < kinds.size(); ++a)
                {
                    for (std::size_t b = a + 1; b < kinds.size(); ++b)
                    {
                        const float squares = std::inner_product(
                            looks[a].pattern.begin(), looks[a].pattern.end(), looks[b].pattern.begin(), 0.0f,
                            std::plus<>(), [](float x, float y) { return (x - y) * (x - y); });
                        const float light = std::abs(looks[a].mean - looks[b].mean);
                        const float pattern = std::sqrt(squares / (Grain * Grain));
                        EXPECT_TRUE(light >= LightnessMargin || pattern >= PatternMargin)
                            << name << " " << vision << ": " << kinds[a] << " and " << kinds[b]
                            << " differ by " << light << " in lightness and " << pattern << " in pattern";
                    }
                }
            }
        }
    }
}
} // namespace orv_gd
