#pragma once

#include <SFML/Window/Joystick.hpp>

#include <array>

namespace orv_gd
{
/// The thin layer between the game and sf::Joystick. The screens and both roles read
/// controllers only through it, so tests can plug in controllers with set buttons and axes.
class ControllerInput
{
public:
    static constexpr unsigned SlotCount = sf::Joystick::Count; // 8
    static constexpr unsigned ButtonCount = sf::Joystick::ButtonCount;
    static constexpr unsigned AxisCount = sf::Joystick::AxisCount;

    /// The buttons the game reads, by their numbers on a common game pad.
    static constexpr unsigned ButtonA = 0;
    static constexpr unsigned ButtonB = 1;
    static constexpr unsigned ButtonX = 2;
    static constexpr unsigned ButtonY = 3;
    static constexpr unsigned ButtonLB = 4;
    static constexpr unsigned ButtonRB = 5;
    static constexpr unsigned ButtonBack = 6;
    static constexpr unsigned ButtonStart = 7;

    static ControllerInput& getInstance();

    bool isConnected(unsigned slot) const;
    bool isButtonPressed(unsigned slot, unsigned button) const;
    /// From -100 to 100; axis 0 is horizontal (X), axis 1 vertical (Y).
    float getAxisPosition(unsigned slot, sf::Joystick::Axis axis) const;

    /// A slot whose role the computer plays reads as not connected, so a controller in it changes
    /// nothing; every slot is heard again after clearIgnored.
    void setIgnored(unsigned slot, bool ignored);
    void clearIgnored();

    /// Test hooks: once simulated, the real devices are ignored and these states answer.
    void setSimulated(bool simulated);
    void setConnected(unsigned slot, bool connected);
    void setButton(unsigned slot, unsigned button, bool pressed);
    void setAxis(unsigned slot, sf::Joystick::Axis axis, float position);
    /// Disconnects every simulated controller and zeroes its buttons and axes.
    void resetSimulated();

private:
    ControllerInput() = default;

    struct SimulatedController
    {
        bool connected = false;
        std::array<bool, ButtonCount> buttons{};
        std::array<float, AxisCount> axes{};
    };

    bool m_simulated = false;
    std::array<bool, SlotCount> m_ignored{};
    std::array<SimulatedController, SlotCount> m_controllers{};
};
} // namespace orv_gd
