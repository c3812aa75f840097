% Three programs where minimal and strict minimal updates differ.
%
% An old program says the printer works, a newer one that the network works,
% and the newest that one of the two is broken. Either the printer fact (of
% the oldest program) or the network fact (of the middle one) is rejected.
% The two rejections are incomparable, so both answer sets are minimal.
% Strict minimality compares the rejections level by level from the most
% recent program down and prefers the answer set that keeps the newer
% knowledge: the network works and the printer is broken.
%
%   $ build/vok -silent -min -p=build/rox-clingo examples/network.lp
%   {-printer_ok, network_ok}
%   {-network_ok, printer_ok}
%   $ build/vok -silent -strict -p=build/rox-clingo examples/network.lp
%   {-printer_ok, network_ok}
%   $ build/vok -silent -min -strict -P=pexa -p=build/pexa-clingo examples/network.lp
%   {-printer_ok, network_ok}

{
  printer_ok.
}
{
  network_ok.
}
{
  -printer_ok :- not -network_ok.
  -network_ok :- not -printer_ok.
}
