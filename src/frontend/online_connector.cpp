#include "frontend/online_connector.h"

#include <utility>

#include "frontend/online_watchers.h"

namespace vx {

namespace {

net::lobby::LobbyOptions LobbyOptionsFor(const OnlineRequest& request) {
    net::lobby::LobbyOptions options;
    options.server = request.server;
    options.version = request.version;
    return options;
}

OnlineFailReason ReasonOf(net::lobby::LobbyError error) {
    using net::lobby::LobbyError;
    switch (error) {
        case LobbyError::kNone:
        case LobbyError::kUnreachable: return OnlineFailReason::kLobbyUnreachable;
        case LobbyError::kRoomNotFound: return OnlineFailReason::kRoomNotFound;
        case LobbyError::kRoomFull: return OnlineFailReason::kRoomFull;
        case LobbyError::kVersionsDiffer: return OnlineFailReason::kVersionsDiffer;
        case LobbyError::kOtherLeft: return OnlineFailReason::kOtherLeft;
        case LobbyError::kWatchersFull: return OnlineFailReason::kWatchersFull;
    }
    return OnlineFailReason::kLobbyUnreachable;
}

}  // namespace

OnlineConnector::OnlineConnector(OnlineRequest request, PathFinderMaker makeFinder)
    : request_(std::move(request)), makeFinder_(std::move(makeFinder)), lobby_(LobbyOptionsFor(request_)) {
    switch (request_.kind) {
        case OnlineRequest::Kind::kMakeRoom: lobby_.MakeRoom(request_.settings); break;
        case OnlineRequest::Kind::kJoinRoom: lobby_.JoinRoom(request_.code); break;
        case OnlineRequest::Kind::kQuickMatch: lobby_.QuickMatch(request_.settings); break;
        case OnlineRequest::Kind::kWatchRoom: lobby_.WatchRoom(request_.code); break;
    }
}

OnlineConnector::~OnlineConnector() = default;

void OnlineConnector::Fail(OnlineFailReason reason, std::string words) {
    stage_ = Stage::kFailed;
    failure_.reason = reason;
    failure_.words = std::move(words);
    if (reason == OnlineFailReason::kVersionsDiffer) failure_.theirVersion = lobby_.PeerVersion();
    finder_.reset();
    link_.reset();
    lobby_.Leave();
}

void OnlineConnector::Poll(int64_t nowMs) {
    using net::lobby::LobbyState;
    if (stage_ == Stage::kFailed) return;
    lobby_.Poll();
    if (watchers_) watchers_->Poll(nowMs);
    // Both stay in their room while the match lasts (the lobby's part is done, but a
    // third player who types the code then hears that the room is full rather than that
    // there is none); leaving is the owner's, when the connection ends.
    if (stage_ == Stage::kConnected) return;
    if (lobby_.State() == LobbyState::kFailed) return Fail(ReasonOf(lobby_.Error()), lobby_.ErrorWords());
    if (lobby_.State() == LobbyState::kWaiting) stage_ = Stage::kWaiting;
    if (lobby_.State() != LobbyState::kTogether || !lobby_.ServicesAnswered()) return;
    // A watcher looks for its path only once the room's maker sent its line: until the
    // players are connected, the maker sends none, and a watcher may wait long.
    const bool watching = request_.kind == OnlineRequest::Kind::kWatchRoom;
    if (watching && !finder_ && lobby_.PeerPath().empty()) {
        stage_ = Stage::kWaiting;
        return;
    }

    if (!finder_) {
        net::PathOptions options;
        options.controlling = lobby_.IsHost();
        options.relay = lobby_.Services().relay;
        options.stunHost = lobby_.Services().stunHost;
        options.stunPort = lobby_.Services().stunPort;
        options.relayOnly = request_.relayOnly;
        if (options.relayOnly && !options.relay)
            return Fail(OnlineFailReason::kNoRelayOffered,
                        "The lobby offers no relay, so there is no way to play through one.");
        finder_ = makeFinder_(options);
        if (!finder_)
            return Fail(OnlineFailReason::kCannotFindPaths,
                        "This program cannot look for a way to the other player.");
        stage_ = Stage::kFindingPath;
        pathStartMs_ = nowMs;
    }
    finder_->Poll();
    using State = net::PathFinder::State;
    if (!pathSent_ && finder_->GetState() != State::kGathering) {
        lobby_.SendPath(finder_->LocalDescription());
        pathSent_ = true;
    }
    if (!remoteSet_ && !lobby_.PeerPath().empty()) {
        std::string error;
        if (!finder_->SetRemoteDescription(lobby_.PeerPath(), &error))
            return Fail(
                OnlineFailReason::kUnreadablePath,
                "The other player's program sent a way to reach it that cannot be read (" + error + ").");
        remoteSet_ = true;
    }
    if (finder_->GetState() == State::kFailed) return Fail(OnlineFailReason::kNoPath, finder_->Failure());
    if (finder_->GetState() == State::kConnected) {
        std::string error;
        path_ = finder_->Path();
        link_ = finder_->MakeLink(lobby_.IsHost(), &error);
        finder_.reset();
        if (!link_)
            return Fail(OnlineFailReason::kPathUnusable,
                        "A way to the other player was found but could not be used (" + error + ").");
        if (!watching) lobby_.SendReady();
        stage_ = Stage::kConnected;
        return;
    }
    if (nowMs - pathStartMs_ > kPathTimeoutMs)
        Fail(OnlineFailReason::kTimedOut,
             watching ? "No way through to the match was found, not even through the relay."
                      : "No way through to the other player was found, not even through the relay.");
}

void OnlineConnector::ServeWatchers(uint16_t enetPort) {
    if (!watchers_ && lobby_.IsHost())
        watchers_ = std::make_unique<OnlineWatchers>(lobby_, makeFinder_, request_.version, enetPort);
}

std::size_t OnlineConnector::WatchersCarried() const {
    return watchers_ ? watchers_->Carried() : 0;
}

std::string OnlineConnector::StatusWords() const {
    if (request_.kind == OnlineRequest::Kind::kWatchRoom) {
        switch (stage_) {
            case Stage::kLobby: return "Reaching the lobby...";
            case Stage::kWaiting: return "Waiting for the match to start...";
            case Stage::kFindingPath: return "Finding a way to the match...";
            default: break;
        }
    }
    switch (stage_) {
        case Stage::kLobby:
            return request_.kind == OnlineRequest::Kind::kQuickMatch ? "Looking for another player..."
                                                                     : "Reaching the lobby...";
        case Stage::kWaiting: return "Waiting for the other player...";
        case Stage::kFindingPath: return "Finding a way to the other player...";
        case Stage::kConnected: return std::string("Connected (") + net::PathName(path_) + ").";
        case Stage::kFailed: return failure_.words;
    }
    return {};
}

}  // namespace vx
