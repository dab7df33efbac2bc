#include "framework/message_queue.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace framework {
namespace {

using namespace std::chrono_literals;

// The owner thread (the test) drains when woken, like a window's thread does.
struct Owner {
  std::vector<std::uint32_t> handled;
  std::atomic<int> wakes{0};
  MessageQueue queue{
      [this](std::uint32_t m, std::intptr_t, std::intptr_t) { handled.push_back(m); },
      [this] { ++wakes; }};

  void DrainUntil(const std::function<bool()>& done) {
    auto until = std::chrono::steady_clock::now() + 5s;
    while (!done() && std::chrono::steady_clock::now() < until) {
      queue.Drain();
      std::this_thread::sleep_for(1ms);
    }
  }
};

TEST(MessageQueueTest, SendFromWorkerWaitsUntilTheOwnerHandledIt) {
  Owner owner;
  std::atomic<bool> returned{false};
  std::atomic<bool> result{false};
  std::thread worker([&] {
    result = owner.queue.Send(0x0BD0, 0, 0);
    returned = true;
  });
  while (owner.wakes == 0)
    std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(returned) << "the worker went on before the message was handled";
  owner.DrainUntil([&] { return returned.load(); });
  worker.join();
  EXPECT_TRUE(result);
  ASSERT_EQ(owner.handled.size(), 1u);
  EXPECT_EQ(owner.handled[0], 0x0BD0u);
}

TEST(MessageQueueTest, PostsAndSendsKeepTheirOrder) {
  Owner owner;
  std::thread worker([&] {
    owner.queue.Post(1, 0, 0);
    owner.queue.Post(2, 0, 0);
    owner.queue.Send(3, 0, 0);
  });
  owner.DrainUntil([&] { return owner.handled.size() == 3; });
  worker.join();
  EXPECT_EQ(owner.handled, (std::vector<std::uint32_t>{1, 2, 3}));
}

TEST(MessageQueueTest, SendOnTheOwnerThreadIsHandledAtOnce) {
  Owner owner;
  EXPECT_TRUE(owner.queue.Send(7, 0, 0));
  EXPECT_EQ(owner.handled, (std::vector<std::uint32_t>{7}));
  EXPECT_EQ(owner.wakes, 0);
}

TEST(MessageQueueTest, ClosingReleasesWaitingSendersAndDropsLaterMessages) {
  Owner owner;
  std::atomic<int> released{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 3; ++i) {
    workers.emplace_back([&] {
      EXPECT_FALSE(owner.queue.Send(0x0BD2, 10, 0));
      ++released;
    });
  }
  while (owner.wakes < 3)
    std::this_thread::sleep_for(1ms);
  owner.queue.Close();
  for (auto& w : workers)
    w.join();
  EXPECT_EQ(released, 3);
  EXPECT_TRUE(owner.handled.empty());
  owner.queue.Post(1, 0, 0);
  EXPECT_FALSE(owner.queue.Send(2, 0, 0));
  owner.queue.Drain();
  EXPECT_TRUE(owner.handled.empty());
}

TEST(MessageQueueTest, DestroyingTheQueueWaitsForReleasedSendersToLeave) {
  auto queue =
      std::make_unique<MessageQueue>([](std::uint32_t, std::intptr_t, std::intptr_t) {}, [] {});
  MessageQueue* raw = queue.get();
  std::atomic<bool> result{true};
  std::thread worker([&] { result = raw->Send(1, 0, 0); });
  while (raw->WaitingSenders() == 0)
    std::this_thread::yield();
  queue.reset();  // the sender still has to leave Send; the queue's lock must outlive it
  worker.join();
  EXPECT_FALSE(result);
}

}  // namespace
}  // namespace framework
