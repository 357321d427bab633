#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "Foundation/Clock.hpp"
#include "Foundation/RunLoop.hpp"
#include "QuartzCore/CAEmitterLayer.hpp"

namespace {
class Emitter : public ::testing::Test {
protected:
    void SetUp() override { Clock::setCurrent(clock); }
    void TearDown() override { Clock::setCurrent(nullptr); }

    std::shared_ptr<CAEmitterCell> cell(float birthRate, float lifetime) {
        auto c = CAEmitterCell::make();
        c->birthRate = birthRate;
        c->lifetime = lifetime;
        c->velocity = 100;
        return c;
    }
    std::size_t alive() const { return layer->particles(clock->now()).size(); }

    std::shared_ptr<VirtualClock> clock = std::make_shared<VirtualClock>();
    std::shared_ptr<CAEmitterLayer> layer = CAEmitterLayer::make();
};
}  // namespace

TEST_F(Emitter, ParticlesAreBornAtTheRateAndLiveTheirLifetime) {
    layer->setEmitterCells({cell(3, 2), cell(1, 10)});
    EXPECT_EQ(alive(), 0u);
    clock->advance(1);
    EXPECT_EQ(alive(), 3u + 1u);
    clock->advance(1.5);  // 2.5 s: the first cell's earliest have died
    auto particles = layer->particles(clock->now());
    std::size_t first = std::count_if(particles.begin(), particles.end(), [](const auto& p) { return p.cell == 0; });
    EXPECT_EQ(first, 6u);  // born at 1/3 ... 7/3 s; the one of 1/3 s is older than 2 s
    for (const auto& p : particles) EXPECT_LT(p.age, p.cell == 0 ? 2.0 : 10.0);
}

TEST_F(Emitter, ABirthRateOfZeroStopsBirthsAndTheLivingFlyOn) {
    layer->setEmitterCells({cell(4, 3)});
    clock->advance(1);
    layer->setBirthRate(0);
    EXPECT_EQ(alive(), 4u);
    clock->advance(2.5);
    EXPECT_EQ(alive(), 2u);  // those of 0.75 and 1 s
    clock->advance(1);
    EXPECT_EQ(alive(), 0u);
    layer->setBirthRate(1);
    clock->advance(0.5);
    EXPECT_EQ(alive(), 2u);
}

TEST_F(Emitter, ParticlesFlyAlongTheLongitudeFromTheLine) {
    layer->setEmitterPosition({100, 0});
    layer->setEmitterShape(CAEmitterLayerEmitterShape::line);
    layer->setEmitterSize({200, 1});
    auto down = cell(10, 5);
    down->emissionLongitude = M_PI;
    down->emissionRange = M_PI / 4;
    down->velocityRange = 20;
    layer->setEmitterCells({down});
    clock->advance(2.05);
    auto particles = layer->particles(clock->now());
    ASSERT_EQ(particles.size(), 20u);
    double spread = 0;
    for (const auto& p : particles) {
        // Within the cone of ±22.5 degrees around +y, starting on the line from x 0 to 200.
        double dx = p.position.x, dy = p.position.y;
        EXPECT_GT(dy, 0);
        EXPECT_LE(dy, 120 * p.age + 1e-9);
        EXPECT_GE(dx, -std::tan(M_PI / 8) * dy - 1e-9);
        EXPECT_LE(dx, 200 + std::tan(M_PI / 8) * dy + 1e-9);
        spread += std::abs(dx - particles[0].position.x);
    }
    EXPECT_GT(spread, 0);
    // The same seed and time give the same particles; another seed others.
    auto again = layer->particles(clock->now());
    EXPECT_EQ(again[5].position, particles[5].position);
    layer->setSeed(7);
    EXPECT_NE(layer->particles(clock->now())[5].position, particles[5].position);
}

TEST_F(Emitter, ADrawingAsksForTheNextFrameWhileParticlesFly) {
    layer->setBounds({0, 0, 20, 20});
    auto context = CGContext::makeBitmap(nullptr, 20, 20, 8, 0, CGColorSpace::deviceRGB,
                                         {CGImageAlphaInfo::premultipliedFirst, true});
    auto drawnAgain = [&] {
        layer->clearNeedsDisplay();
        layer->render(*context);
        RunLoop::main().advance(1.0 / 60);
        return layer->needsDisplay();
    };
    EXPECT_FALSE(drawnAgain());  // no cells
    layer->setEmitterCells({cell(2, 1)});
    EXPECT_TRUE(drawnAgain());  // none born yet, but they are coming
    clock->advance(0.8);
    layer->setBirthRate(0);
    EXPECT_TRUE(drawnAgain());  // the one born at 0.5 s still flies
    clock->advance(2);
    EXPECT_FALSE(drawnAgain());
    RunLoop::main().invalidateAllTimers();
}
