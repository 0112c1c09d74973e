#pragma once

#include "ecosystem/render/camera.h"
#include "ecosystem/render/ecosystemrender.h"
#include "render/offscreengl.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <functional>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A render model on a 200 x 200 off-screen view, built in an empty working directory (the species
// trees then come from the copies built into the program). Errors are collected.
class ModelFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(workDir.isValid());
        previousDir = QDir::currentPath();
        QDir::setCurrent(workDir.path());
        ASSERT_TRUE(gl.create(Size, Size));
        makeModel();
    }

    void makeModel()
    {
        ::testing::internal::CaptureStderr();
        model = std::make_unique<ecosystem::render::EcosystemRender>(
            gl.glContext(), [this](const QString &title, const QString &text) {
                errors.push_back(title + QStringLiteral(": ") + text);
            });
        constructionWarnings = ::testing::internal::GetCapturedStderr();
        model->toggleShowFPS(); // keep the test output quiet
    }

    // What `run` writes to standard output, or with `toErrors` to standard error.
    static std::string written(const std::function<void()> &run, bool toErrors = false)
    {
        toErrors ? ::testing::internal::CaptureStderr() : ::testing::internal::CaptureStdout();
        run();
        return toErrors ? ::testing::internal::GetCapturedStderr() : ::testing::internal::GetCapturedStdout();
    }

    void TearDown() override
    {
        if (model) {
            gl.makeCurrent();
            model.reset();
        }
        QDir::setCurrent(previousDir);
    }

    QImage frame()
    {
        gl.makeCurrent();
        model->render();
        return gl.grab();
    }

    // Runs simulation steps with their log lines kept off the test output.
    void steps(int count)
    {
        stepOutput = written([this, count] {
            for (int i = 0; i < count; ++i)
                model->simulateNextStepAndUpdateGL();
        });
    }

    // A forest seeded into one cell keeps the frames quick to draw (software OpenGL under Xvfb).
    void growInOneCell(int count)
    {
        model->setLupaMinX(47);
        model->setLupaMaxX(48);
        model->setLupaMinY(45);
        model->setLupaMaxY(46);
        steps(count);
    }

    // Places the eye `above` units over the ground at (x, z).
    void placeCamera(float x, float z, float above, float heading, float lookPitch)
    {
        auto *camera = model->getCamera();
        camera->position = {x, 0.0f, z};
        camera->forceAtSurface = true;
        camera->followTerrain();
        camera->forceAtSurface = false;
        camera->position.y += above;
        camera->heading = heading;
        camera->lookPitch = lookPitch;
    }

    static int differingPixels(const QImage &a, const QImage &b)
    {
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                count += a.pixel(x, y) != b.pixel(x, y);
        return count;
    }

    static constexpr int Size = 200;
    QTemporaryDir workDir;
    QString previousDir;
    OffscreenGl gl;
    std::unique_ptr<ecosystem::render::EcosystemRender> model;
    std::vector<QString> errors;
    std::string constructionWarnings;
    std::string stepOutput;
};
