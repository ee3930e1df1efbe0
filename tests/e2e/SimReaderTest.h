// An end-to-end test against the simulated library on a private bench: the
// card is placed, the first USB reader opened and made the device handle.
#pragma once

#include "reader/ConnectionState.h"
#include "reader/QvdLibrary.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/SimBench.h"

#include <gtest/gtest.h>

#include <string>

namespace e2e
{

class SimReaderTest : public ::testing::Test
{
protected:
    void openReaderWith(const std::string &placeArgs)
    {
        bench.run("place " + placeArgs);
        ASSERT_TRUE(lib) << "libqvd.so could not be loaded";
        handle = rz_init(100, 0);
        ASSERT_GT(handle, 0);
        t7::connection().deviceHandle = handle;
        t7::connection().portOpen = 1;
    }
    void TearDown() override
    {
        if (handle > 0)
            rz_exit(handle);
        t7::connection().reset();
    }

    sim::SimBench bench;
    fake::MessageRecorder boxes;
    qvd::LibraryRef lib = qvd::Library::load();
    QVD_ENTRY(lib, rz_init);
    QVD_ENTRY(lib, rz_exit);
    QVD_ENTRY(lib, rz_config_card);
    int handle = 0;
};

} // namespace e2e
