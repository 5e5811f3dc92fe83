// A TCP proxy on loopback that delays every chunk by half the added round
// trip in each direction, without limiting throughput: a WAN's latency in
// front of a local server.
//   kvbench_delayproxy LISTEN_PORT TARGET_PORT ROUND_TRIP_MICROSECONDS

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Chunk
{
    Clock::time_point due;
    std::vector<char> bytes;   // empty: the sender closed
};

// One direction: a reader queues each chunk with its due time, a writer
// sends it then.
void Pipe(int nFrom, int nTo, std::chrono::microseconds delay)
{
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Chunk> queue;
    std::thread writer([&] {
        for (;;) {
            Chunk chunk;
            {
                std::unique_lock<std::mutex> lock(mutex);
                ready.wait(lock, [&] { return !queue.empty(); });
                chunk = std::move(queue.front());
                queue.pop_front();
            }
            std::this_thread::sleep_until(chunk.due);
            if (chunk.bytes.empty()) {
                shutdown(nTo, SHUT_WR);
                return;
            }
            size_t nSent = 0;
            while (nSent < chunk.bytes.size()) {
                const ssize_t n = send(nTo, chunk.bytes.data() + nSent, chunk.bytes.size() - nSent, MSG_NOSIGNAL);
                if (n <= 0)
                    return;
                nSent += size_t(n);
            }
        }
    });
    std::vector<char> buffer(65536);
    for (;;) {
        const ssize_t n = recv(nFrom, buffer.data(), buffer.size(), 0);
        Chunk chunk{Clock::now() + delay, {}};
        if (n > 0)
            chunk.bytes.assign(buffer.begin(), buffer.begin() + n);
        {
            std::lock_guard<std::mutex> lock(mutex);
            queue.push_back(std::move(chunk));
        }
        ready.notify_one();
        if (n <= 0)
            break;
    }
    writer.join();
}

int Listen(int nPort)
{
    const int nSocket = socket(AF_INET, SOCK_STREAM, 0);
    const int nOn = 1;
    setsockopt(nSocket, SOL_SOCKET, SO_REUSEADDR, &nOn, sizeof(nOn));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(nSocket, 16) != 0) {
        std::perror("kvbench_delayproxy: listen");
        std::exit(1);
    }
    return nSocket;
}

int Connect(int nPort)
{
    const int nSocket = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(uint16_t(nPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(nSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
        return -1;
    return nSocket;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: kvbench_delayproxy LISTEN_PORT TARGET_PORT ROUND_TRIP_MICROSECONDS\n");
        return 2;
    }
    const int nTarget = std::atoi(argv[2]);
    const std::chrono::microseconds halfTrip(std::atol(argv[3]) / 2);
    const int nListener = Listen(std::atoi(argv[1]));
    for (;;) {
        const int nClient = accept(nListener, nullptr, nullptr);
        if (nClient < 0)
            continue;
        const int nServer = Connect(nTarget);
        if (nServer < 0) {
            close(nClient);
            continue;
        }
        const int nOn = 1;
        setsockopt(nClient, IPPROTO_TCP, TCP_NODELAY, &nOn, sizeof(nOn));
        setsockopt(nServer, IPPROTO_TCP, TCP_NODELAY, &nOn, sizeof(nOn));
        std::thread([nClient, nServer, halfTrip] {
            std::thread back([&] { Pipe(nServer, nClient, halfTrip); });
            Pipe(nClient, nServer, halfTrip);
            back.join();
            close(nClient);
            close(nServer);
        }).detach();
    }
}
