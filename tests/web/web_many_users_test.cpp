// Many users at once: the worker processes go to the requests in the order they asked, and the
// kept-alive connections of idle browsers do not hold back the other users.
#include "WebServerFixture.h"
#include "WorkerSlots.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace zq::test {
namespace {

using namespace std::chrono_literals;
using web::WorkerSlots;

// Until `workers` has `count` requests waiting (a thread started has reached its wait).
void awaitWaiting(WorkerSlots& workers, std::size_t count)
{
    for (int i = 0; i < 2000 && workers.waiting() < count; ++i)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(workers.waiting(), count);
}

TEST(WorkerSlotsTest, SlotsGoToTheRequestsInTheOrderTheyAsked)
{
    WorkerSlots workers(1);
    ASSERT_TRUE(workers.acquire(0ms));
    std::mutex orderMutex;
    std::vector<int> order;
    std::vector<std::thread> requests;
    // The first request served keeps its slot until the newcomer below has asked: otherwise all five
    // could be served and gone before it asks, and it would rightly find the slot free.
    std::atomic<bool> newcomerAsked{false};
    for (int id = 1; id <= 5; ++id) {
        requests.emplace_back([&, id] {
            if (!workers.acquire(10s))
                return;
            {
                const std::lock_guard lock(orderMutex);
                order.push_back(id);
            }
            while (!newcomerAsked)
                std::this_thread::sleep_for(1ms);
            workers.release();
        });
        awaitWaiting(workers, std::size_t(id));
    }
    // A request arriving now, as the slot comes free, does not pass the five already waiting.
    workers.release();
    EXPECT_FALSE(workers.acquire(0ms));
    newcomerAsked = true;
    for (std::thread& request : requests)
        request.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(workers.waiting(), 0u);
}

TEST(WorkerSlotsTest, CountAndTimeLimit)
{
    struct Case {
        const char* name;
        int count;
        int taken;          // acquired beforehand and kept
        bool granted;
    };
    const Case cases[] = {
        {"a free slot", 2, 1, true},
        {"every slot taken", 2, 2, false},
        {"fewer than one slot is one", 0, 0, true},
        {"one slot taken", 0, 1, false},
    };
    for (const Case& c : cases) {
        WorkerSlots workers(c.count);
        for (int i = 0; i < c.taken; ++i)
            ASSERT_TRUE(workers.acquire(0ms)) << c.name;
        EXPECT_EQ(workers.acquire(20ms), c.granted) << c.name;
        // One that gave up waiting is out of the line: the next one is served when a slot is free.
        EXPECT_EQ(workers.waiting(), 0u) << c.name;
        if (c.taken > 0) {
            workers.release();
            EXPECT_TRUE(workers.acquire(0ms)) << c.name;
        }
    }
}

TEST_F(WebServerTest, IdleBrowsersDoNotHoldBackOtherUsers)
{
    auto server = startLocal();
    ASSERT_TRUE(server->ok());
    // More browsers than the server has threads, each asking once and keeping its connection
    // open as browsers do between two searches; every one is answered long before a kept-alive
    // connection would have been given up (5 s).
    std::vector<std::unique_ptr<httplib::Client>> browsers;
    for (int i = 0; i < 16; ++i) {
        auto browser = std::make_unique<httplib::Client>("127.0.0.1", server->port());
        browser->set_keep_alive(true);
        browser->set_read_timeout(3, 0);
        const httplib::Result answer = browser->Get("/api/pages");
        ASSERT_TRUE(answer) << "browser " << i << ": " << httplib::to_string(answer.error());
        EXPECT_EQ(answer->status, 200) << "browser " << i;
        browsers.push_back(std::move(browser));
    }
}

} // namespace
} // namespace zq::test
